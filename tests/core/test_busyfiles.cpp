// A file another program holds (on Windows a virus scanner, the indexer, a
// backup or a spreadsheet) costs no win, no setting and no history line,
// and never holds the caller past its wait. The files are made to look held
// through BusyFiles, on a clock of the test's own.
#include "support_busyfiles.h"
#include "support_settingsfolder.h"
#include "support_history.h"

#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/historyfile.h"
#include "core/keys.h"
#include "core/prizetable.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/saveworker.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <limits>
#include <memory>

namespace {

const QDateTime kStart(QDate(2026, 12, 7), QTime(15, 3, 12));

} // namespace

class TestBusyFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void briefHoldIsWaitedOut();
    void longHoldKeepsTheWinPendingAndCountsItOnce();
    void winStillPendingIsStoredAtExit();
    void heldHistoryKeepsEveryLineInOrderAcrossAnExit();
    void workerStoresWhatWaitsWhileTheCallerReadsAndCounts();
    void refusalFailsAtOnce();
    void heldFileHoldsADrawOnce();
    void symbolicLinksAreWrittenThroughWithOneLock();

private:
    QList<history::Entry> entries() const { return history::parse(readWholeFile(m_history->path())); }
    // The window's retry timer: 300 ms later, another try of at most 100 ms.
    void retryLater()
    {
        m_files->advance(300);
        m_history->retry(100);
    }

    std::unique_ptr<BusyFiles> m_files;
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::unique_ptr<DrawHistory> m_history;
    QString m_jieguo;
};

void TestBusyFiles::init()
{
    m_files = std::make_unique<BusyFiles>();
    m_folder = std::make_unique<SettingsFolder>();
    m_settings = &m_folder->settings();
    m_settings->setWait(100);
    m_history = std::make_unique<DrawHistory>(*m_settings, [] { return kStart; });
    m_jieguo = m_settings->path(DataFile::Results);
    QVERIFY(m_settings->writeSetting(keys::kPrizeValue[2], u"2"));
}

void TestBusyFiles::cleanup()
{
    m_history.reset();
    m_folder.reset();
    m_files.reset();
}

// Held for 50 ms, jieguo.a is written within the wait: stored, not pending.
void TestBusyFiles::briefHoldIsWaitedOut()
{
    QVERIFY(m_history->resetAll());
    m_files->holdFor(m_jieguo, 50);
    const qint64 before = m_files->milliseconds();
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QVERIFY(m_files->busyAnswers > 0);
    QVERIFY(m_files->milliseconds() - before <= 100);
    QCOMPARE(m_history->counts().text(3), u"1"_qs);
}

// Held for 1.5 s and for 10 s: the win waits (no longer than the wait),
// already counts against its stock, is stored by a later retry with the
// win's time and its count, and is never counted twice.
void TestBusyFiles::longHoldKeepsTheWinPendingAndCountsItOnce()
{
    for (const qint64 hold : {1500, 10000}) {
        QVERIFY(m_history->resetAll());
        m_files->holdFor(m_jieguo, hold);
        const qint64 held = m_files->milliseconds();
        QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Pending);
        QVERIFY(m_files->milliseconds() - held <= 100);
        QCOMPARE(m_history->pendingWins().size(), 1);

        m_files->release(); // the count on disk is 0; the win still waits in memory
        QCOMPARE(m_history->counts().text(3), u"1"_qs);
        Draw draw;
        QVERIFY(draw.refill(*m_settings, m_history->counts()));
        QCOMPARE(draw.table()[3], 1); // a stock of 2, less the waiting win
        m_files->holdUntil(m_jieguo, held + hold);

        while (m_files->milliseconds() < held + hold) {
            QCOMPARE(m_history->pendingWins().size(), 1);
            retryLater();
        }
        retryLater();
        QVERIFY(m_history->pendingWins().isEmpty());
        retryLater();
        QCOMPARE(m_history->counts().text(3), u"1"_qs);
        const QList<history::Entry> lines = entries();
        QCOMPARE(lines.last().time, kStart);
        QCOMPARE(lines.last().slot, 3);
        QCOMPARE(lines.last().count, u"1"_qs);
        QCOMPARE(lines.size(), hold == 1500 ? 2 : 4); // each round a clearing and its win
    }
}

// A win that still waits at exit is stored by the exit's last wait; the
// next write of the file would have stored it as well.
void TestBusyFiles::winStillPendingIsStoredAtExit()
{
    m_files->holdFor(m_jieguo, 3000);
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Pending);
    QCOMPARE(m_history->recordWin(5), DrawHistory::Saved::Pending);
    QVERIFY(m_history->finish(10000).isEmpty());
    QCOMPARE(m_history->counts().text(3), u"1"_qs);
    QCOMPARE(m_history->counts().text(5), u"1"_qs);
    QCOMPARE(entries().size(), 2);
    QCOMPARE(entries()[0].slot, 3);

    m_files->holdFor(m_jieguo, 60000);
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Pending);
    const QList<DrawHistory::Win> unsaved = m_history->finish(10000);
    QCOMPARE(unsaved.size(), 1); // named to the operator, never counted twice
    QCOMPARE(unsaved[0].slot, 3);
}

// A spreadsheet holds the history across three wins and an exit: the lines
// wait in order, go to the file beside it at exit, and the next run writes
// them before its own.
void TestBusyFiles::heldHistoryKeepsEveryLineInOrderAcrossAnExit()
{
    QCOMPARE(m_history->recordWin(1), DrawHistory::Saved::Stored);
    m_files->holdUntil(m_history->path(), std::numeric_limits<qint64>::max());
    const int busyBefore = m_files->busyAnswers;
    QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
    QCOMPARE(m_files->busyAnswers.load(), busyBefore + 1); // one try at a landing, never a wait
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QVERIFY(m_history->heldToReport());
    QVERIFY(!m_history->heldToReport());
    QCOMPARE(m_history->waitingLines(), 2);
    QVERIFY(m_history->finish(100).isEmpty());
    QCOMPARE(entries().size(), 1);
    // The waiting lines are kept as made, without their check: each gets it
    // when it is appended.
    QCOMPARE(readWholeFile(m_history->waitingPath()).count("\r\n"), 2);

    m_history = std::make_unique<DrawHistory>(*m_settings, [] { return kStart.addSecs(60); });
    m_files->release();
    QCOMPARE(m_history->recordWin(4), DrawHistory::Saved::Stored);
    QList<int> slots;
    for (const history::Entry &entry : entries())
        slots << entry.slot;
    QCOMPARE(slots, (QList<int>{1, 2, 3, 4}));
    QVERIFY(!QFile::exists(m_history->waitingPath()));
}

// The window's side tries once; the worker retries while the caller keeps
// reading and counts another win: no read ever sees a win twice or not at
// all, and both wins are stored once, their lines in order.
void TestBusyFiles::workerStoresWhatWaitsWhileTheCallerReadsAndCounts()
{
    QVERIFY(m_history->resetAll());
    m_settings->setWait(0);
    m_files->holdFor(m_jieguo, 3000);
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Pending);
    SaveWorker worker(*m_history, {});
    bool counted5 = false;
    const QDeadlineTimer giveUp(60000);
    for (int read = 0; !giveUp.hasExpired() && (!counted5 || m_history->waits()); ++read) {
        QCOMPARE(m_history->counts().text(3), u"1"_qs);
        if (read == 100) {
            QVERIFY(m_history->recordWin(5) != DrawHistory::Saved::Refused);
            counted5 = true;
        }
        if (counted5)
            QCOMPARE(m_history->counts().text(5), u"1"_qs);
    }
    worker.stop();
    QVERIFY(!m_history->waits());
    m_settings->setWait(100);
    QCOMPARE(m_history->counts().text(3), u"1"_qs);
    QCOMPARE(m_history->counts().text(5), u"1"_qs);
    QCOMPARE(entries().size(), 3);
    QVERIFY(entries()[0].isClear());
    QCOMPARE(entries()[1].slot, 3);
    QCOMPARE(entries()[2].count, u"1"_qs);
}

// A read-only file (the platform says so before it tries) is no hold: the
// win is refused at once, not kept waiting.
void TestBusyFiles::refusalFailsAtOnce()
{
    QVERIFY(m_history->resetAll());
    m_files->refuse(m_jieguo);
    const qint64 before = m_files->milliseconds();
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Refused);
    QCOMPARE(m_files->milliseconds(), before);
    QVERIFY(m_history->pendingWins().isEmpty());
    QCOMPARE(m_settings->pendingCount(DataFile::Results), 0);
    m_files->release();
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->counts().text(3), u"1"_qs); // the refused win left nothing behind
}

// A draw reads jieguo.a and config.a 17 times: a held file costs it one
// wait, not seventeen, and it sees the counts as this run last saw them, so
// by quantity a prize whose stock is gone stays out of the box.
void TestBusyFiles::heldFileHoldsADrawOnce()
{
    QVERIFY(m_history->resetAll());
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByQuantity));
    QVERIFY(m_settings->writeMany(DataFile::Config, keys::kZbt,
                                  {{keys::kPrizeValue[0], u"1"_qs}, {keys::kPrizeValue[2], u"1"_qs}}));
    QCOMPARE(m_history->recordWin(1), DrawHistory::Saved::Stored);
    m_files->holdFor(m_jieguo, 60000);
    const qint64 before = m_files->milliseconds();
    Draw draw;
    QVERIFY(draw.refill(*m_settings, m_history->counts()));
    QVERIFY(m_files->milliseconds() - before <= 100);
    QCOMPARE(m_history->counts().text(1), u"1"_qs);
    QCOMPARE(draw.pool().ticketsOf(1), 0);
    QCOMPARE(draw.pool().ticketsOf(3), 1);
}

// Two run folders whose config.a are links to one file: both write through
// to it, the links stay links, and both take the one lock beside it.
void TestBusyFiles::symbolicLinksAreWrittenThroughWithOneLock()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut on Windows, not a symbolic link");
#endif
    const QString shared = m_folder->filePath(u"shared/real.ini"_qs);
    QVERIFY(QDir().mkpath(m_folder->filePath(u"shared"_qs)));
    QStringList lockPaths;
    for (const QString &run : {u"a"_qs, u"b"_qs}) {
        QVERIFY(QDir().mkpath(m_folder->filePath(run)));
        QVERIFY(QFile::link(u"../shared/real.ini"_qs, m_folder->filePath(run + u"/config.a")));
        SettingsFile settings(m_folder->filePath(run), gbkCodec());
        m_files->lockedPaths.clear();
        QVERIFY(settings.writeSetting(run == u"a" ? u"主标题" : u"副标题", run));
        QVERIFY(QFileInfo(settings.path(DataFile::Config)).isSymbolicLink());
        QCOMPARE(settings.storedPath(DataFile::Config), QFileInfo(shared).absoluteFilePath());
        lockPaths << m_files->lockedPaths.first();
    }
    QCOMPARE(lockPaths[0], QFileInfo(shared).absoluteFilePath() + u".lock");
    QCOMPARE(lockPaths[1], lockPaths[0]);
    SettingsFile a(m_folder->filePath(u"a"_qs), gbkCodec());
    QCOMPARE(a.readSetting(u"主标题"), u"a"_qs);
    QCOMPARE(a.readSetting(u"副标题"), u"b"_qs);
}

QTEST_GUILESS_MAIN(TestBusyFiles)
#include "test_busyfiles.moc"
