// Keys in the password, prize settings and results windows: their buttons
// answer a click and Space on the focused button, never Enter; Esc closes
// the window without doing anything else.
#include "support_settingsfolder.h"

#include "core/wholefile.h"
#include "core/drawhistory.h"
#include "core/keys.h"
#include "core/draw.h"
#include "core/settingsfile.h"
#include "lottery/passwordwindow.h"
#include "lottery/prizevalueswindow.h"
#include "lottery/resultswindow.h"
#include "platform/gbkcodec.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const std::array<QByteArray, 8> kNoPictures{};


// Every push button of a window, with the count of its clicks.
struct ButtonClicks
{
    explicit ButtonClicks(QWidget *window)
    {
        for (QPushButton *button : window->findChildren<QPushButton *>())
            spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    }
    int total() const
    {
        int n = 0;
        for (const auto &spy : spies)
            n += int(spy->count());
        return n;
    }
    std::vector<std::unique_ptr<QSignalSpy>> spies;
};

} // namespace

class TestDialogKeys : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::unique_ptr<messagebox::Seam> m_boxes;
    std::unique_ptr<inputbox::Seam> m_inputs;

    QByteArray configBytes() const { return m_folder->bytes(DataFile::Config); }
    QByteArray resultBytes() const { return m_folder->bytes(DataFile::Results); }

    // Enter, on the main keyboard and on the keypad, in `target`.
    static void pressEnter(QWidget *target)
    {
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_settings = &m_folder->settings();
        // Any message or input box that is asked for is answered at once.
        m_boxes = std::make_unique<messagebox::Seam>();
        m_inputs = std::make_unique<inputbox::Seam>();
        QFile results(m_settings->path(DataFile::Results));
        QVERIFY(results.open(QIODevice::WriteOnly));
        QVERIFY(results.write("[zjjg]\r\nj1=4\r\n") > 0);
    }

    void cleanup()
    {
        m_inputs.reset();
        m_boxes.reset();
        m_settings = nullptr;
        m_folder.reset();
    }

    // With no password stored, an empty entry is the right one: a click on
    // 进入设置 would open the prize settings and close the window.
    void passwordWindowIgnoresEnter()
    {
        int opened = 0;
        PasswordWindow w(*m_settings, [&opened] { ++opened; });
        QSignalSpy finished(&w, &QDialog::finished);
        ButtonClicks clicks(&w);
        w.show();
        pressEnter(w.passwordEdit());
        w.passwordEdit()->setText(QStringLiteral("abc"));
        pressEnter(w.passwordEdit());
        w.passwordEdit()->clear();
        for (QPushButton *button : {w.enterButton(), w.changeButton()}) {
            button->setFocus();
            pressEnter(button);
        }
        QCOMPARE(clicks.total(), 0);
        QCOMPARE(opened, 0);
        QVERIFY(finished.isEmpty());
        QVERIFY(m_boxes->shown().isEmpty());
        QVERIFY(m_inputs->asked().isEmpty());

        // Space on the focused button is its keyboard activation.
        w.enterButton()->setFocus();
        QTest::keyClick(w.enterButton(), Qt::Key_Space);
        QCOMPARE(opened, 1);
        QCOMPARE(finished.size(), 1);
    }

    void prizeSettingsIgnoreEnter()
    {
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        QSignalSpy finished(&w, &QDialog::finished);
        ButtonClicks clicks(&w);
        w.show();
        const QByteArray before = configBytes();
        auto *value = w.findChild<QLineEdit *>(QStringLiteral("编辑框3"));
        QVERIFY(value);
        value->setText(QStringLiteral("7"));
        for (QLineEdit *box : w.findChildren<QLineEdit *>())
            pressEnter(box);
        w.okButton()->setFocus();
        pressEnter(w.okButton());
        QCOMPARE(clicks.total(), 0);
        QVERIFY(finished.isEmpty());
        QVERIFY(m_boxes->shown().isEmpty()); // no "设置成功！"
        QCOMPARE(configBytes(), before);
        QCOMPARE(draw.table()[3], PrizeTable::defaults()[3]);

        w.okButton()->setFocus();
        QTest::keyClick(w.okButton(), Qt::Key_Space);
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(m_boxes->shown()[0].text, QStringLiteral("设置成功！"));
        QCOMPARE(draw.table()[3], 7);
        QCOMPARE(finished.size(), 1);
    }

    void resultsWindowIgnoresEnter()
    {
        DrawHistory history(*m_settings);
        ResultsWindow w(history, kNoPictures);
        QSignalSpy finished(&w, &QDialog::finished);
        ButtonClicks clicks(&w);
        w.show();
        w.clearButton()->setFocus();
        pressEnter(w.clearButton());
        QCOMPARE(clicks.total(), 0);
        QVERIFY(finished.isEmpty());
        QVERIFY(m_boxes->shown().isEmpty()); // no "确定要清空中奖结果吗？"

        m_boxes->queueAnswers({false});
        QTest::keyClick(w.clearButton(), Qt::Key_Space);
        QCOMPARE(m_boxes->shown().size(), 1);
        QCOMPARE(m_boxes->shown()[0].text, QStringLiteral("确定要清空中奖结果吗？"));
        QVERIFY(resultBytes().contains("j1=4"));
    }

    // Esc closes each window, as its close box does, and nothing else.
    void escapeClosesWithoutAction()
    {
        int opened = 0;
        PasswordWindow password(*m_settings, [&opened] { ++opened; });
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        PrizeValuesWindow prizes(*m_settings, draw, kNoPictures);
        DrawHistory history(*m_settings);
        ResultsWindow results(history, kNoPictures);
        const QByteArray config = configBytes();
        for (QDialog *dialog : std::initializer_list<QDialog *>{&password, &prizes, &results}) {
            QSignalSpy finished(dialog, &QDialog::finished);
            dialog->show();
            QTest::keyClick(dialog, Qt::Key_Escape);
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished[0][0].toInt(), int(QDialog::Rejected));
            QVERIFY(dialog->isHidden());
        }
        QCOMPARE(opened, 0);
        QVERIFY(m_boxes->shown().isEmpty());
        QCOMPARE(configBytes(), config);
        QVERIFY(resultBytes().contains("j1=4"));
    }
};

QTEST_MAIN(TestDialogKeys)
#include "test_dialogkeys.moc"
