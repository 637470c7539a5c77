// What the operator sees in the real main window while another program holds
// jieguo.a or 中奖记录.csv: a notice at the window's bottom edge, no box,
// and every win and line stored in the end.
#include "support_mainwindow.h"
#include "support_busyfiles.h"
#include "support_runfolder.h"
#include "support_history.h"
#include "support_settingsfolder.h"

#include "core/config.h"
#include "core/drawhistory.h"
#include "core/historyfile.h"
#include "core/roll.h"
#include "core/wholefile.h"
#include "lottery/pendingsaves.h"
#include "widgets/controls.h"
#include "widgets/messagebox.h"
#include "widgets/statusnotice.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QThread>

#include <limits>

#include <limits>

namespace {

void land(MainWindow &w)
{
    parts(w).roll().startStopPress();
    parts(w).roll().stopCaptionPressed();
    parts(w).roll().tick();
}

QList<history::Entry> historyOf(const RunFolder &run)
{
    return history::parse(readWholeFile(run.file(QStringLiteral("中奖记录.csv"))));
}

} // namespace

class TestSaveNotice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_boxes = std::make_unique<messagebox::Seam>(); }
    void cleanup() { m_boxes.reset(); }

    void landingLeavesItsWritesToTheWorker();
    void heldResultsNeverStallTheWindow();
    void heldHistoryIsToldOnceAndCaughtUp();
    void settingHeldAtExitIsNamed();

private:
    std::unique_ptr<messagebox::Seam> m_boxes;
};

// With every file free, a landing syncs nothing on the window's thread (no
// replace of jieguo.a, no history line): the worker stores the win and its
// line, and a win stored at its first try shows no notice and no box.
void TestSaveNotice::landingLeavesItsWritesToTheWorker()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    parts(w).controls().effectsDisabledBox->setChecked(true);
    auto *notice = w->findChild<StatusNotice *>(QStringLiteral("标签_保存提示"));
    BusyFiles files(true);
    files.watched = QThread::currentThread();
    land(*w);
    QCOMPARE(files.watchedSyncs.load(), 0);
    QTRY_COMPARE(historyOf(run).size(), 1);
    QCOMPARE(storedWins(run), 1);
    QCOMPARE(historyOf(run).last().count, QStringLiteral("1"));
    QCoreApplication::processEvents(); // the worker's outcome, posted to the window
    QVERIFY(notice->isHidden());
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(files.watchedSyncs.load(), 0);
    w.reset(); // its worker ends before the file system's seam goes
}

// jieguo.a held across a landing and a new roll, each of the worker's tries
// on it as slow as a sluggish stick's: the window's thread never pauses for
// the file, the roll timer's ticks keep coming, a stop is taken at once,
// the notice says the win is being saved (no box, no focus taken), and once
// the hold ends the win is stored exactly once, with its line.
void TestSaveNotice::heldResultsNeverStallTheWindow()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    MainControls &controls = parts(w).controls();
    controls.effectsDisabledBox->setChecked(true);
    auto *notice = w->findChild<StatusNotice *>(QStringLiteral("标签_保存提示"));
    QVERIFY(notice);
    QVERIFY(notice->isHidden());
    int ticks = 0;
    QObject::connect(controls.rollTimer, &IntervalTimer::tick, controls.rollTimer, [&ticks] { ++ticks; });
    BusyFiles files(true);
    files.watched = QThread::currentThread();
    files.slowTryMs = 100;
    files.holdUntil(run.file(QStringLiteral("jieguo.a")), std::numeric_limits<qint64>::max());
    Roll &roll = parts(w).roll();
    roll.startStopPress();
    QTRY_VERIFY(ticks >= 3);
    roll.startStopPress();
    QCOMPARE(roll.state().phase, RollPhase::Stopping);
    QTRY_COMPARE(roll.state().phase, RollPhase::Idle);
    QTRY_COMPARE(notice->text(), PendingSaves::kSavingWin);
    QVERIFY(notice->isVisible());
    QVERIFY(controls.startButton->isEnabled());
    roll.startStopPress();
    ticks = 0;
    QTRY_VERIFY(ticks >= 20 && files.busyAnswers > files.watchedBusyAnswers + 3);
    QCOMPARE(files.watchedPauses.load(), 0);
    QCOMPARE(storedWins(run), 0);
    // The focus timer gives 按钮1 the keyboard again; the notice never takes it.
    QCOMPARE(notice->focusPolicy(), Qt::NoFocus);
    QTRY_COMPARE(QApplication::focusWidget(), controls.startButton);
    // At the bottom edge, clear of the wheel.
    QCOMPARE(notice->geometry().bottom() + 1 + 6, w->height());
    QVERIFY(!notice->geometry().intersects(controls.wheelFrame->geometry()));

    files.release();
    QTRY_COMPARE_WITH_TIMEOUT(notice->text(), PendingSaves::kSavedWin, 60000);
    QCOMPARE(storedWins(run), 1);
    QCOMPARE(historyOf(run).size(), 1);
    QCOMPARE(historyOf(run).last().count, QStringLiteral("1"));
    QCOMPARE(roll.state().phase, RollPhase::Rolling);
    QVERIFY(m_boxes->shown().isEmpty());
    w.reset(); // its worker ends before the held files go
}

// A spreadsheet holds the history: every landing is counted, the notice
// tells it and no box stops the draw; once the file is free, the window's
// retry writes the lines (their order and counts are the history's own
// test).
void TestSaveNotice::heldHistoryIsToldOnceAndCaughtUp()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    parts(w).controls().effectsDisabledBox->setChecked(true);
    BusyFiles files(true);
    files.holdUntil(run.file(QStringLiteral("中奖记录.csv")), std::numeric_limits<qint64>::max());
    auto *notice = w->findChild<StatusNotice *>(QStringLiteral("标签_保存提示"));
    for (int roll = 0; roll < 3; ++roll)
        land(*w);
    QTRY_COMPARE(storedWins(run), 3);
    QTRY_COMPARE(notice->text(), PendingSaves::kHistoryHeld);
    QVERIFY(m_boxes->shown().isEmpty());

    files.release();
    QTRY_COMPARE_WITH_TIMEOUT(historyOf(run).size(), 3, 60000);
    QVERIFY(m_boxes->shown().isEmpty());
}

// config.a held past the exit's wait: the title the operator set is named
// in the exit's box with the value it was to store, not dropped in silence.
void TestSaveNotice::settingHeldAtExitIsNamed()
{
    SettingsFolder folder;
    SettingsFile &settings = folder.settings();
    settings.setWait(PendingSaves::kWaitMs);
    Config config(settings);
    QVERIFY(config.setTitle(Config::Title::Sub, QStringLiteral("老标题")));
    DrawHistory history(settings);
    QWidget window;
    StatusNotice notice(&window);
    PendingSaves saves(history, settings, notice);

    BusyFiles files;
    files.holdUntil(settings.path(DataFile::Config), std::numeric_limits<qint64>::max());
    QVERIFY(config.setTitle(Config::Title::Main, QStringLiteral("扫码加")));
    QVERIFY(config.setTitle(Config::Title::Main, QStringLiteral("扫码加QQ群")));
    QCOMPARE(settings.pendingCount(DataFile::Config), 2);
    saves.finish();

    QCOMPARE(m_boxes->texts().size(), 1);
    const QStringList lines = m_boxes->texts()[0].split(QStringLiteral("\r\n"));
    QVERIFY(lines[0].contains(QStringLiteral("config.a")));
    QCOMPARE(lines.mid(1), QStringList{"主标题=扫码加QQ群"});
}

QTEST_MAIN(TestSaveNotice)
#include "test_savenotice.moc"
