// The timers of the main window follow the interval rule of the program's
// controls: writing the value a timer already has changes nothing, so a
// running schedule is kept; 0 or below stops it; a new value restarts it.
#include "support_wait.h"

#include "widgets/controls.h"

#include <QSignalSpy>
#include <QTest>

class TestIntervalTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameValueKeepsTheSchedule()
    {
        IntervalTimer timer;
        timer.setInterval(10000);
        QVERIFY(timer.isActive());
        // Let some of the ten seconds pass, then write the same value again.
        QTRY_VERIFY_WITH_TIMEOUT(timer.remainingMs() < 9990, kPatienceMs);
        const int left = timer.remainingMs();
        timer.setInterval(10000);
        QVERIFY(timer.isActive());
        QVERIFY2(timer.remainingMs() <= left, "writing the same interval restarted the timer");

        timer.setInterval(5000); // a new value: a new schedule of that length
        QCOMPARE(timer.interval(), 5000);
        QVERIFY(timer.isActive());
        QVERIFY(timer.remainingMs() <= 5000);
    }

    void zeroOrBelowStops_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -30;
    }

    void zeroOrBelowStops()
    {
        QFETCH(int, value);
        IntervalTimer timer;
        timer.setInterval(1);
        QSignalSpy ticks(&timer, &IntervalTimer::tick);
        QVERIFY(ticks.wait(kPatienceMs));
        timer.setInterval(value);
        QVERIFY(!timer.isActive());
        QCOMPARE(timer.interval(), 0);
        QCOMPARE(timer.remainingMs(), -1);
        // Stopped from 0, a negative value leaves it stopped and starts nothing.
        timer.setInterval(-1);
        QVERIFY(!timer.isActive());
        timer.setInterval(1); // and a positive one starts it again
        QVERIFY(ticks.wait(kPatienceMs));
    }
};

QTEST_MAIN(TestIntervalTimer)
#include "test_intervaltimer.moc"
