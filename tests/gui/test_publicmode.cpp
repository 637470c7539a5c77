// The public mode in the window: Shift+Q is neither registered nor caught,
// focused or not; the caption shows the commitment and the last check, and
// a roll stopped by hand lands where its public draw says.
#include "support_mainwindow.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "core/historycheck.h"
#include "core/historyfile.h"
#include "core/roll.h"
#include "display/wineffects.h"
#include "lottery/publiccaption.h"
#include "lottery/rollscreen.h"
#include "platform/hotkey.h"
#include "widgets/controls.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"

#include <QAction>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestPublicMode : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shiftQDoesNothingAndTheDrawIsPublic();
    void switchedFromTheMenuBehindThePassword();
};

void TestPublicMode::shiftQDoesNothingAndTheDrawIsPublic()
{
    RunFolder run;
    // By quantity the first ticket is slot 1's: a designation would land there.
    run.writeGbk(QStringLiteral("config.a"),
                 QStringLiteral("[zbt]\r\n公开抽奖=真\r\nlx=假\r\n一=1\r\n八=1000000\r\n"));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    MainControls &c = parts(w).controls();
    QVERIFY(!w->findChild<GlobalHotKey *>()); // nothing registered with the system
    const auto *caption = w->findChild<PublicCaption *>(QStringLiteral("标签_公开抽奖"));
    QVERIFY(caption);

    const QString path = run.file(history::kFileName.toString());
    auto lastCells = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? *history::lines(file.readAll()).constLast().cells : QStringList();
    };
    const QString commitment = lastCells()[10];
    QCOMPARE(lastCells()[1], u"承诺"_qs);
    QVERIFY(caption->isVisible());
    QCOMPARE(caption->text(), u"公开抽奖 · 第 1 次 · 承诺 "_qs + commitment.left(16) + u" · 校验 "_qs
                                  + lastCells()[11].left(16));
    // The characters themselves, not only the band, at least 28 pixels high.
    QVERIFY(QFontMetrics(caption->font()).tightBoundingRect(u"公开抽奖"_qs).height() >= 28);

    c.startButton->setFocus();
    QTest::keyClick(c.startButton, Qt::Key_Q, Qt::ShiftModifier);
    QWidget other;
    other.show();
    QTest::keyClick(&other, Qt::Key_Q, Qt::ShiftModifier);
    QVERIFY(c.designationFlag->isHidden());

    c.rollSpeedEdit->setText(QStringLiteral("5"));
    QTest::mouseClick(c.startButton, Qt::LeftButton);
    QTest::mouseClick(c.startButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(c.startButton->text(), RollScreen::kStartCaption, kPatienceMs);
    w->findChild<WinEffects *>()->closeWinEffect();
    const QStringList draw = lastCells();
    QCOMPARE(draw[6], u"1"_qs);
    QCOMPARE(draw[5], u"否"_qs);
    QCOMPARE(draw[1], QString::number(parts(w).roll().state().position));
    QCOMPARE(caption->text(), u"公开抽奖 · 第 2 次 · 承诺 "_qs + commitment.left(16) + u" · 校验 "_qs
                                  + draw[11].left(16));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const historycheck::Report report = historycheck::check(file.readAll());
    QVERIFY2(report.ok() && report.publicDraws == 1, qPrintable(report.text()));
}

// On: 公开抽奖=真 is stored and the commitment is on the record at once,
// the next draw is public; off: 公开抽奖=假 and the line that ends it, and
// Shift+Q designates again. A wrong password switches nothing. The check
// mark shows what is stored, whatever the click did to it.
void TestPublicMode::switchedFromTheMenuBehindThePassword()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n一=1\r\n八=1000000\r\n"));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QAction *entry = parts(w).menu().publicDraw;
    QVERIFY(entry->isCheckable() && !entry->isChecked());
    const QString path = run.file(history::kFileName.toString());
    auto lastCells = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? *history::lines(file.readAll()).constLast().cells : QStringList();
    };
    inputbox::Seam prompts;
    messagebox::Seam boxes;
    prompts.queueOk(QStringLiteral("x"));
    entry->trigger();
    QCOMPARE(boxes.texts(), QStringList(u"密码不正确！"_qs));
    QVERIFY(!entry->isChecked() && !QFile::exists(path));

    prompts.queueOk(QString());
    entry->trigger();
    QVERIFY(entry->isChecked());
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(u"公开抽奖=真"));
    QCOMPARE(lastCells()[1], u"承诺"_qs);
    QVERIFY(w->findChild<PublicCaption *>()->isVisible());
    MainControls &c = parts(w).controls();
    c.rollSpeedEdit->setText(QStringLiteral("5"));
    QTest::mouseClick(c.startButton, Qt::LeftButton);
    QTest::mouseClick(c.startButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(c.startButton->text(), RollScreen::kStartCaption, kPatienceMs);
    w->findChild<WinEffects *>()->closeWinEffect();
    QCOMPARE(lastCells()[6], u"1"_qs);

    prompts.queueOk(QString());
    entry->trigger();
    QVERIFY(!entry->isChecked());
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(u"公开抽奖=假"));
    QCOMPARE(lastCells().mid(1, 10), QStringList({u"公开抽奖结束"_qs, {}, {}, {}, {}, {}, {}, {}, {}, {}}));
    QVERIFY(!w->findChild<PublicCaption *>()->isVisible());
    QVERIFY(w->findChild<GlobalHotKey *>());
    QCOMPARE(boxes.texts().size(), 1);
}

QTEST_MAIN(TestPublicMode)
#include "test_publicmode.moc"
