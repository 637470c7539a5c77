// The auto-stop timer around the fireworks. The fireworks stay up for 3.5 s
// without holding up the stop that opened them, so that stop disarms
// 时钟3_自动停止 at once, and a roll started while they show keeps the
// auto-stop it armed.
#include "support_mainwindow.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "core/roll.h"
#include "display/wineffects.h"
#include "widgets/controls.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

class TestAutoStop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stopDisarmsAtOnceAndARestartKeepsItsOwn()
    {
        messagebox::Seam boxes; // an unexpected message fails below, never waits
        RunFolder run;
        run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
        auto w = run.openWindow();
        MainControls &c = parts(w).controls();
        QVERIFY(!c.effectsDisabledBox->isChecked());
        c.autoStopEdit->setText(QStringLiteral("60"));

        parts(w).roll().startOrStop();
        QCOMPARE(c.autoStopTimer->interval(), 60000);
        parts(w).roll().stop(); // 透明标签_结束
        QVERIFY(w->findChild<WinEffects *>()->isShowing());
        QCOMPARE(c.autoStopTimer->interval(), 0);
        QVERIFY(!c.autoStopTimer->isActive());

        // The landing tick, then a new roll while the fireworks still show.
        parts(w).roll().tick();
        QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
        c.autoStopEdit->setText(QStringLiteral("45"));
        parts(w).roll().startOrStop();
        QVERIFY(!w->findChild<WinEffects *>()->isShowing());
        QCOMPARE(c.autoStopTimer->interval(), 45000);
        QVERIFY(c.autoStopTimer->isActive());
        QCOMPARE(parts(w).roll().state().phase, RollPhase::Rolling);
        QVERIFY(boxes.shown().isEmpty());
    }

    // Every request arms it, even one refused for an empty box; every roll
    // started gets the whole delay, even when the timer already runs with
    // it; 按钮1 stops a roll and disarms it; a stop caption press between a
    // stop and its landing starts a roll that keeps its own; the auto-stop
    // tick disarms it, idle or not.
    void everyRollArmsItsOwn()
    {
        messagebox::Seam boxes;
        RunFolder run; // by quantity, no prize values yet: no ticket
        auto w = run.openWindow();
        MainControls &c = parts(w).controls();
        c.effectsDisabledBox->setChecked(true);
        c.autoStopEdit->setText(QStringLiteral("10"));
        parts(w).roll().startOrStop();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(c.autoStopTimer->interval(), 10000);
        // Half a second gone: a restart shows even on a machine that stalls.
        QTRY_VERIFY_WITH_TIMEOUT(c.autoStopTimer->remainingMs() < 9500, kPatienceMs);

        run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n一=9\r\n"));
        parts(w).roll().startOrStop();
        QVERIFY(c.autoStopTimer->remainingMs() > 9500);
        parts(w).roll().startOrStop(); // the keyboard: 按钮1
        QVERIFY(!c.autoStopTimer->isActive());
        parts(w).roll().stop(); // before the landing tick: rolls again
        QCOMPARE(parts(w).roll().state().phase, RollPhase::Rolling);
        QCOMPARE(c.autoStopTimer->interval(), 10000);
        Q_EMIT c.autoStopTimer->tick();
        QCOMPARE(parts(w).roll().state().phase, RollPhase::Stopping);
        QVERIFY(!c.autoStopTimer->isActive());
        parts(w).roll().tick();

        run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n"));
        parts(w).roll().startOrStop(); // refused, yet armed
        QVERIFY(c.autoStopTimer->isActive());
        Q_EMIT c.autoStopTimer->tick(); // idle: it only disarms
        QCOMPARE(parts(w).roll().state().phase, RollPhase::Idle);
        QVERIFY(!c.autoStopTimer->isActive());
        QCOMPARE(boxes.shown().size(), 2);
    }
};

QTEST_MAIN(TestAutoStop)
#include "test_autostop.moc"
