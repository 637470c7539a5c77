// What the operator sees in the real main window while another program holds
// jieguo.a or 中奖记录.csv: a notice at the window's bottom edge, no box,
// and every win and line stored in the end.
#include "support_busyfiles.h"
#include "support_history.h"
#include "support_operator.h"
#include "support_runfolder.h"

#include "core/historyfile.h"
#include "core/wholefile.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QThread>

#include <limits>

namespace {

const QString kSavingWin = QStringLiteral("正在保存中奖结果…");
const QString kSavedWin = QStringLiteral("中奖结果已保存");
const QString kHistoryHeld = QStringLiteral("中奖记录.csv正被其他程序占用，新的记录先暂存，文件关闭后自动补写");

QList<history::Entry> historyOf(const RunFolder &run)
{
    return history::parse(readWholeFile(run.file(QStringLiteral("中奖记录.csv"))));
}

QLabel &notice(const QWidget &w)
{
    return control<QLabel>(w, QStringLiteral("标签_保存提示"));
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
    prepareDrawable(run, kQuickRoll);
    auto w = run.openWindow();
    BusyFiles files(true);
    files.watched = QThread::currentThread();
    QVERIFY(drawOnce(*w));
    QCOMPARE(files.watchedSyncs.load(), 0);
    QTRY_COMPARE(historyOf(run).size(), 1);
    QCOMPARE(storedWins(run), 1);
    QCOMPARE(historyOf(run).last().count, QStringLiteral("1"));
    QCoreApplication::processEvents(); // the worker's outcome, posted to the window
    QVERIFY(notice(*w).isHidden());
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
    prepareDrawable(run, QStringLiteral("滚动速度=5\r\n禁用特效=真\r\n"));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QLabel &told = notice(*w);
    const auto &button = control<QPushButton>(*w, QStringLiteral("按钮1"));
    QVERIFY(told.isHidden());
    RollTicks ticks(*w);
    BusyFiles files(true);
    files.watched = QThread::currentThread();
    files.slowTryMs = 100;
    files.holdUntil(run.file(QStringLiteral("jieguo.a")), std::numeric_limits<qint64>::max());
    operate::pressSpace(*w);
    QTRY_VERIFY(ticks.count() >= 3);
    operate::pressSpace(*w);
    QVERIFY(!button.isEnabled()); // stopping: the next tick lands
    QVERIFY(waitForLanding(*w));
    QTRY_COMPARE(told.text(), kSavingWin);
    QVERIFY(told.isVisible());
    operate::pressSpace(*w);
    QVERIFY(isRolling(*w));
    ticks.reset();
    QTRY_VERIFY(ticks.count() >= 20 && files.busyAnswers > files.watchedBusyAnswers + 3);
    QCOMPARE(files.watchedPauses.load(), 0);
    QTRY_COMPARE(storedWins(run), 0);
    // The focus timer gives 按钮1 the keyboard again; the notice never takes it.
    QCOMPARE(told.focusPolicy(), Qt::NoFocus);
    QTRY_COMPARE(QApplication::focusWidget(), &button);
    // At the bottom edge, clear of the wheel.
    QCOMPARE(told.geometry().bottom() + 1 + 6, w->height());
    QVERIFY(!told.geometry().intersects(control<ShapeBox>(*w, QStringLiteral("外形框1")).geometry()));

    files.release();
    QTRY_COMPARE_WITH_TIMEOUT(told.text(), kSavedWin, 60000);
    QTRY_COMPARE(storedWins(run), 1);
    QCOMPARE(historyOf(run).size(), 1);
    QCOMPARE(historyOf(run).last().count, QStringLiteral("1"));
    QVERIFY(isRolling(*w));
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
    prepareDrawable(run, kQuickRoll);
    auto w = run.openWindow();
    BusyFiles files(true);
    files.holdUntil(run.file(QStringLiteral("中奖记录.csv")), std::numeric_limits<qint64>::max());
    for (int roll = 0; roll < 3; ++roll)
        QVERIFY(drawOnce(*w));
    QTRY_COMPARE(storedWins(run), 3);
    QTRY_COMPARE(notice(*w).text(), kHistoryHeld);
    QVERIFY(m_boxes->shown().isEmpty());

    files.release();
    QTRY_COMPARE_WITH_TIMEOUT(historyOf(run).size(), 3, 60000);
    QVERIFY(m_boxes->shown().isEmpty());
}

// config.a held past the exit's wait: the title the operator set is named
// in the exit's box with the value it was to store, not dropped in silence.
void TestSaveNotice::settingHeldAtExitIsNamed()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\n副标题=老标题\r\n"));
    auto w = run.openWindow();
    const QString stored = run.readGbk(QStringLiteral("config.a"));
    BusyFiles files; // its clock moves on at every pause: the exit's wait takes no time
    files.holdUntil(run.file(QStringLiteral("config.a")), std::numeric_limits<qint64>::max());
    inputbox::Seam prompts;
    prompts.queueOk(QStringLiteral("扫码加"));
    choose(*w, QStringLiteral("主标题"));
    prompts.queueOk(QStringLiteral("扫码加QQ群"));
    choose(*w, QStringLiteral("主标题"));
    QCOMPARE(control<TransparentLabel>(*w, QStringLiteral("透明标签_主标题")).text(), QStringLiteral("扫码加QQ群"));
    QCOMPARE(run.readGbk(QStringLiteral("config.a")), stored);
    QVERIFY(m_boxes->shown().isEmpty());

    m_boxes->queueAnswers({true}); // 确定退出吗？ OK
    choose(*w, QStringLiteral("退出"));

    QCOMPARE(m_boxes->texts().size(), 2);
    const QStringList lines = m_boxes->texts()[1].split(QStringLiteral("\r\n"));
    QVERIFY(lines[0].contains(QStringLiteral("config.a")));
    QCOMPARE(lines.mid(1), QStringList{"主标题=扫码加QQ群"});
    QCOMPARE(run.readGbk(QStringLiteral("config.a")), stored);
}

QTEST_MAIN(TestSaveNotice)
#include "test_savenotice.moc"
