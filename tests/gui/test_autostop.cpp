// The auto-stop timer around the fireworks. The fireworks stay up for 3.5 s
// without holding up the stop that opened them, so that stop disarms
// 时钟3_自动停止 at once, and a roll started while they show keeps the
// auto-stop it armed.
#include "support_operator.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "widgets/controls.h"
#include "widgets/messagebox.h"

#include <QTest>

using namespace operate;

namespace {

IntervalTimer &autoStopTimer(const QWidget &w)
{
    return control<IntervalTimer>(w, QStringLiteral("时钟3_自动停止"));
}

} // namespace

class TestAutoStop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stopDisarmsAtOnceAndARestartKeepsItsOwn()
    {
        messagebox::Seam boxes; // an unexpected message fails below, never waits
        RunFolder run;
        prepareDrawable(run, QStringLiteral("滚动速度=1\r\n自动停止=60\r\n"));
        auto w = run.openWindow();

        pressSpace(*w);
        QCOMPARE(autoStopTimer(*w).interval(), 60000);
        pressStopCaption(*w);
        QVERIFY(fireworksShowing(*w));
        QCOMPARE(autoStopTimer(*w).interval(), 0);
        QVERIFY(!autoStopTimer(*w).isActive());

        // The landing tick, then a new roll while the fireworks still show.
        QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
        QCOMPARE(startButton(*w).text(), QStringLiteral("开始"));
        QVERIFY(fireworksShowing(*w));
        pressSpace(*w);
        QVERIFY(!fireworksShowing(*w));
        QCOMPARE(autoStopTimer(*w).interval(), 60000);
        QVERIFY(autoStopTimer(*w).isActive());
        QCOMPARE(startButton(*w).text(), QStringLiteral("停止"));
        QVERIFY(boxes.shown().isEmpty());
    }

    // Every request arms it, even one refused for an empty box, and its
    // tick then only disarms it; every roll started gets the whole delay,
    // even when the timer already runs with it; 按钮1 stops a roll and
    // disarms it; a stop caption press between a stop and its landing starts
    // a roll that keeps its own, and that one's tick stops and lands it.
    void everyRollArmsItsOwn()
    {
        messagebox::Seam boxes;
        RunFolder run; // by quantity, no prize values yet: no ticket
        const QString options = QStringLiteral("滚动速度=1\r\n禁用特效=真\r\n自动停止=2\r\n");
        run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n") + options);
        auto w = run.openWindow();
        pressSpace(*w);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(autoStopTimer(*w).interval(), 2000);
        QVERIFY(autoStopTimer(*w).isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!autoStopTimer(*w).isActive(), kPatienceMs); // idle: it only disarms
        QCOMPARE(startButton(*w).text(), QStringLiteral("开始"));
        QCOMPARE(boxes.shown().size(), 1);

        pressSpace(*w); // refused again, armed again
        QCOMPARE(boxes.shown().size(), 2);
        // Half a second gone: a restart shows even on a machine that stalls.
        QTRY_VERIFY_WITH_TIMEOUT(autoStopTimer(*w).remainingMs() < 1500, kPatienceMs);
        run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n一=9\r\n") + options);
        pressSpace(*w);
        QCOMPARE(startButton(*w).text(), QStringLiteral("停止"));
        QVERIFY(autoStopTimer(*w).remainingMs() > 1500);
        pressSpace(*w); // 按钮1 stops
        QVERIFY(!autoStopTimer(*w).isActive());
        pressStopCaption(*w); // before the landing tick: rolls again
        QCOMPARE(startButton(*w).text(), QStringLiteral("停止"));
        QCOMPARE(autoStopTimer(*w).interval(), 2000);
        QVERIFY(autoStopTimer(*w).isActive());
        QTRY_COMPARE_WITH_TIMEOUT(storedCount(run, 1), 1, kPatienceMs);
        QCOMPARE(startButton(*w).text(), QStringLiteral("开始"));
        QVERIFY(!autoStopTimer(*w).isActive());
        QCOMPARE(boxes.shown().size(), 2);
    }
};

QTEST_MAIN(TestAutoStop)
#include "test_autostop.moc"
