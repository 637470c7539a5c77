// The settings password: its window, changing it, and the two ways in.

#include "support_settingsfolder.h"

#include "core/cipher.h"
#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/keys.h"
#include "core/settingsfile.h"
#include "lottery/passwordwindow.h"
#include "lottery/prizevalueswindow.h"
#include "lottery/resultswindow.h"
#include "lottery/passwordgate.h"
#include "platform/gbkcodec.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"
#include "widgets/modalwindow.h"
#include "widgets/picturebox.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <memory>

namespace {

// A password window on its own, counting how often it opened the prize
// settings.
struct PasswordFixture
{
    explicit PasswordFixture(SettingsFile &settings)
        : window(settings, [this] { ++prizeSettingsOpened; }), finished(&window, &QDialog::finished)
    {
        window.show();
    }

    void type(const QString &text) { window.passwordEdit()->setText(text); }
    void clickEnter() { QTest::mouseClick(window.enterButton(), Qt::LeftButton); }
    void clickChange() { QTest::mouseClick(window.changeButton(), Qt::LeftButton); }
    bool closed() const { return !finished.isEmpty(); }

    int prizeSettingsOpened = 0;
    PasswordWindow window;
    QSignalSpy finished;
};

bool isStoredForm(const QString &text)
{
    for (QChar c : text)
        if (c < u'A' || c > u'Z')
            return false;
    return text.size() >= 2 && text.size() % 2 == 0;
}

} // namespace

// Every line of the draw history is stamped with this time.
const QDateTime kHistoryTime(QDate(2026, 12, 7), QTime(15, 3, 12));

class TestPassword : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::unique_ptr<DrawHistory> m_history;

    QString storedText() const { return m_settings->readSetting(keys::kPassword); }
    QByteArray configBytes() const
    {
        return m_folder->bytes(DataFile::Config);
    }
    void storePassword(const QString &plain)
    {
        QVERIFY(Config(*m_settings).setPassword(gbkCodec().encode(plain)));
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_settings = &m_folder->settings();
        m_history = std::make_unique<DrawHistory>(*m_settings, [] { return kHistoryTime; });
    }

    void windowLayout()
    {
        PasswordFixture f(*m_settings);
        PasswordWindow &w = f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("密码设置！"));
        QCOMPARE(w.size(), QSize(380, 180));
        auto *label = w.findChild<QLabel *>(QStringLiteral("标签1"));
        QVERIFY(label);
        QCOMPARE(label->geometry(), QRect(8, 24, 144, 32));
        QCOMPARE(label->text(), QStringLiteral("输入密码(初始密码为空)："));
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("编辑框1")), w.passwordEdit());
        QCOMPARE(w.passwordEdit()->geometry(), QRect(160, 24, 192, 32));
        QVERIFY(w.passwordEdit()->text().isEmpty());
        QCOMPARE(w.passwordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(w.passwordEdit()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                      w.passwordEdit()),
                 int('*'));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮_登陆")), w.enterButton());
        QCOMPARE(w.enterButton()->geometry(), QRect(85, 80, 80, 32));
        QCOMPARE(w.enterButton()->text(), QStringLiteral("进入设置"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("按钮_修改密码")), w.changeButton());
        QCOMPARE(w.changeButton()->geometry(), QRect(209, 80, 80, 32));
        QCOMPARE(w.changeButton()->text(), QStringLiteral("修改密码"));
    }

    void noStoredPasswordLetsTheEmptyEntryIn()
    {
        messagebox::Seam boxes;
        modalwindow::Seam windows;
        QStringList openedByTheClick;
        bool accepted = false;
        windows.queueFor<PasswordWindow>([&](PasswordWindow &pw) {
            pw.show();
            QTest::mouseClick(pw.enterButton(), Qt::LeftButton);
            openedByTheClick = windows.opened();
            accepted = pw.result() == QDialog::Accepted;
        });
        windows.queueCancel(); // the prize settings window, left as it opens
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        PasswordGate gate(*m_settings, *m_history, draw, {});
        gate.openPrizeSettings();
        QCOMPARE(openedByTheClick, (QStringList{"PasswordWindow", "PrizeValuesWindow"}));
        QCOMPARE(windows.opened(), openedByTheClick);
        QVERIFY(accepted);
        QVERIFY(boxes.shown().isEmpty());
    }

    void entryComparison_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("passes");
        QTest::newRow("exact") << "Abc " << "Abc " << true;
        QTest::newRow("other case") << "Abc " << "abc " << false;
        QTest::newRow("without trailing blank") << "Abc " << "Abc" << false;
        QTest::newRow("leading blank") << "Abc" << " Abc" << false;
        QTest::newRow("GBK") << "抽奖密码" << "抽奖密码" << true;
        QTest::newRow("GBK differs") << "抽奖密码" << "抽奖秘码" << false;
        QTest::newRow("empty entry, password set") << "x" << "" << false;
    }

    void entryComparison()
    {
        QFETCH(QString, stored);
        QFETCH(QString, entry);
        QFETCH(bool, passes);
        storePassword(stored);
        messagebox::Seam boxes;
        PasswordFixture f(*m_settings);
        f.type(entry);
        f.clickEnter();
        QCOMPARE(f.prizeSettingsOpened, passes ? 1 : 0);
        QCOMPARE(f.closed(), passes);
        QCOMPARE(boxes.texts(), passes ? QStringList() : QStringList{"密码不正确！请重新输入。"});
        QCOMPARE(f.window.passwordEdit()->text(), entry); // a wrong entry stays as typed
    }

    void changeToEmptyKeepsTheWindowOpen()
    {
        storePassword(QStringLiteral("abc"));
        messagebox::Seam boxes;
        inputbox::Seam input;
        input.queueOk(QString());
        PasswordFixture f(*m_settings);
        f.type(QStringLiteral("abc"));
        f.clickChange();

        QCOMPARE(input.asked().size(), 1);
        QCOMPARE(input.asked()[0].prompt, QStringLiteral("请输入密码"));
        QCOMPARE(input.asked()[0].caption, QStringLiteral("请输入密码"));
        QCOMPARE(input.asked()[0].echo, inputbox::Echo::Plain);
        QVERIFY(input.asked()[0].initial.isEmpty());
        QCOMPARE(storedText().size(), 2);
        QVERIFY(isStoredForm(storedText()));
        QCOMPARE(boxes.texts(), QStringList{"您没有设置任何密码！"});
        QCOMPARE(boxes.shown()[0].caption, QStringLiteral("信息："));
        QVERIFY(!f.closed());

        // The empty entry passes again.
        f.type(QString());
        f.clickEnter();
        QCOMPARE(f.prizeSettingsOpened, 1);
    }

    void changeStoresEncipheredAndCloses_data()
    {
        QTest::addColumn<QString>("newPassword");
        QTest::newRow("ascii") << "Secret 1";
        QTest::newRow("GBK") << "抽奖密码";
    }

    void changeStoresEncipheredAndCloses()
    {
        QFETCH(QString, newPassword);
        const QByteArray plain = gbkCodec().encode(newPassword);
        messagebox::Seam boxes;
        inputbox::Seam input;
        input.queueOk(newPassword);
        PasswordFixture f(*m_settings);
        f.clickChange();

        QCOMPARE(boxes.texts(), QStringList{"设置成功！请牢记您的密码！"});
        QVERIFY(f.closed());
        const QString stored = storedText();
        QVERIFY(isStoredForm(stored));
        QCOMPARE(stored.size(), 2 + 2 * plain.size());
        QCOMPARE(cipher::decipherText(stored.toLatin1(), cipher::kPasswordKey), plain);
        // Never in clear in the file.
        QVERIFY(!configBytes().contains(plain));
    }

    // Every store picks a new prefix, and every stored text reads back.
    void sameNewPasswordStoredAgainDiffers()
    {
        QStringList stored;
        for (int round = 0; round < 5; ++round) {
            messagebox::Seam boxes;
            inputbox::Seam input;
            input.queueOk(QStringLiteral("Secret"));
            PasswordFixture f(*m_settings);
            f.type(round == 0 ? QString() : QStringLiteral("Secret"));
            f.clickChange();
            QCOMPARE(boxes.texts(), QStringList{"设置成功！请牢记您的密码！"});
            stored << storedText();
        }
        for (const QString &text : stored)
            QCOMPARE(cipher::decipherText(text.toLatin1(), cipher::kPasswordKey), QByteArray("Secret"));
        stored.removeDuplicates();
        QVERIFY(stored.size() >= 2);
    }

    void cancellingTheChangeKeepsThePassword_data()
    {
        QTest::addColumn<QString>("old");
        QTest::newRow("a password") << "old";
        QTest::newRow("none") << "";
    }

    // Cancelled, nothing is written and nothing claims a change: the window
    // stays open with the old password in force.
    void cancellingTheChangeKeepsThePassword()
    {
        QFETCH(QString, old);
        if (!old.isEmpty())
            storePassword(old);
        const QByteArray before = configBytes();
        messagebox::Seam boxes;
        inputbox::Seam input;
        input.queueCancel();
        PasswordFixture f(*m_settings);
        f.type(old);
        f.clickChange();

        QCOMPARE(input.asked().size(), 1);
        QCOMPARE(boxes.texts(), QStringList{"已取消，密码没有改变。"});
        QVERIFY(!f.closed());
        QCOMPARE(configBytes(), before);
        QCOMPARE(Config(*m_settings).password(), old.toLatin1());
    }

    void wrongOldPasswordChangesNothing()
    {
        storePassword(QStringLiteral("abc"));
        const QByteArray before = configBytes();
        messagebox::Seam boxes;
        inputbox::Seam input;
        input.queueOk(QStringLiteral("new"));
        PasswordFixture f(*m_settings);
        f.type(QStringLiteral("ABC"));
        f.clickChange();
        QCOMPARE(boxes.texts(), QStringList{"请在密码框输入原始密码后再修改！"});
        QVERIFY(input.asked().isEmpty());
        QCOMPARE(configBytes(), before);
        QVERIFY(!f.closed());
    }

    void failedChangeIsReported()
    {
        SettingsFile unwritable(m_folder->filePath(QStringLiteral("missing")), gbkCodec());
        messagebox::Seam boxes;
        inputbox::Seam input;
        input.queueOk(QStringLiteral("new"));
        PasswordWindow window(unwritable, {});
        QSignalSpy finished(&window, &QDialog::finished);
        window.changePassword();
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.texts()[0].contains(QStringLiteral("失败")));
        QVERIFY(finished.isEmpty());
        QVERIFY(Config(unwritable).password().isEmpty());
    }

    void resultsNeedThePassword_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("none stored, empty entry") << "" << true << "" << true << QStringList();
        QTest::newRow("right") << "Pw 1" << true << "Pw 1" << true << QStringList();
        QTest::newRow("wrong") << "Pw 1" << true << "pw 1" << false << QStringList{"密码不正确！"};
        QTest::newRow("GBK") << "抽奖" << true << "抽奖" << true << QStringList();
        QTest::newRow("cancel") << "Pw 1" << false << "" << false << QStringList();
        QTest::newRow("cancel, none stored") << "" << false << "" << false << QStringList();
    }

    void resultsNeedThePassword()
    {
        QFETCH(QString, stored);
        QFETCH(bool, answer);
        QFETCH(QString, entry);
        QFETCH(bool, opens);
        QFETCH(QStringList, messages);
        if (!stored.isEmpty())
            storePassword(stored);
        messagebox::Seam boxes;
        inputbox::Seam input;
        answer ? input.queueOk(entry) : input.queueCancel();
        modalwindow::Seam windows;
        Draw draw;
        PasswordGate gate(*m_settings, *m_history, draw, {});
        gate.openResults();

        QCOMPARE(input.asked().size(), 1);
        QCOMPARE(input.asked()[0].prompt,
                 QStringLiteral("请输入密码（这里密码与奖项设置是同一个密码，初始密码为空！）"));
        QCOMPARE(input.asked()[0].caption, QStringLiteral("请输入密码"));
        QCOMPARE(input.asked()[0].echo, inputbox::Echo::Masked);
        QCOMPARE(windows.opened(), opens ? QStringList{"ResultsWindow"} : QStringList());
        QCOMPARE(boxes.texts(), messages);
    }

    // The windows get the main window's pictures at the moment they open.
    void windowsReceiveTheSlotPictures()
    {
        inputbox::Seam input;
        input.queueOk(QString());
        PasswordGate::SlotPictures pictures;
        for (int i = 0; i < 8; ++i)
            pictures[i] = QByteArray("picture ") + QByteArray::number(i + 1);
        Draw draw;
        PasswordGate gate(*m_settings, *m_history, draw, [&] { return pictures; });
        QList<QByteArray> seen;
        modalwindow::Seam windows;
        windows.queueFor<ResultsWindow>([&](ResultsWindow &results) {
            seen << results.findChild<PictureBox *>(QStringLiteral("图片框8"))->picture();
        });
        windows.queueFor<PasswordWindow>([](PasswordWindow &pw) { pw.enterSettings(); });
        windows.queueFor<PrizeValuesWindow>([&](PrizeValuesWindow &prizes) {
            seen << prizes.findChild<PictureBox *>(QStringLiteral("图片框3"))->picture();
        });
        gate.openResults();
        gate.openPrizeSettings();
        QCOMPARE(windows.opened(), (QStringList{"ResultsWindow", "PasswordWindow", "PrizeValuesWindow"}));
        QCOMPARE(seen, (QList<QByteArray>{"picture 8", "picture 3"}));
    }
};

QTEST_MAIN(TestPassword)
#include "test_password.moc"
