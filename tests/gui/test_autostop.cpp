// The auto-stop timer around the fireworks. The fireworks stay up for 3.5 s
// without holding up the stop that opened them, so that stop disarms
// 时钟3_自动停止 at once, and a roll started while they show keeps the
// auto-stop it armed.
#include "support_runfolder.h"

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
        MainControls &c = w->controls();
        QVERIFY(!c.effectsDisabledBox->isChecked());
        c.autoStopEdit->setText(QStringLiteral("60"));

        w->roll().startStopPress();
        QCOMPARE(c.autoStopTimer->interval(), 60000);
        w->roll().stopCaptionPressed(); // 透明标签_结束
        QVERIFY(w->findChild<WinEffects *>()->isShowing());
        QCOMPARE(c.autoStopTimer->interval(), 0);
        QVERIFY(!c.autoStopTimer->isActive());

        // The landing tick, then a new roll while the fireworks still show.
        w->roll().tick();
        QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
        c.autoStopEdit->setText(QStringLiteral("45"));
        w->roll().startStopPress();
        QVERIFY(!w->findChild<WinEffects *>()->isShowing());
        QCOMPARE(c.autoStopTimer->interval(), 45000);
        QVERIFY(c.autoStopTimer->isActive());
        QCOMPARE(w->roll().state().runFlag, 1);
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(TestAutoStop)
#include "test_autostop.moc"
