// The draw history 中奖记录.csv: its lines follow the counts of jieguo.a in
// order, clearings are marked, a history that cannot be written never costs
// a win, and a line a power cut left unfinished is never read as a record.
#include "support_busyfiles.h"
#include "support_lockfiles.h"
#include "support_settingsfolder.h"
#include "support_history.h"

#include "core/drawhistory.h"
#include "core/filelock.h"
#include "core/historycheck.h"
#include "core/historyfile.h"
#include "core/keys.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/settingsfile.h"
#include "platform/gbkcodec.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <limits>
#include <memory>

namespace {

const QDateTime kStart(QDate(2026, 12, 7), QTime(15, 3, 12));
const QByteArray kBom = "\xEF\xBB\xBF";
const QByteArray kHeader = kBom + "时间,奖项,奖品数值,抽奖方式,已中奖数量,指定,序号,票箱,停止时刻,票号,公开,校验\r\n";

// The file's text with every check cell taken off, once the chain is found
// whole (tests/core/test_publicdraw.cpp checks the chain's values).
QByteArray withoutChecks(const QByteArray &bytes)
{
    if (!historycheck::check(bytes).ok())
        return "broken chain: " + historycheck::check(bytes).text().toUtf8();
    static const QRegularExpression kCheck(QStringLiteral("^,[0-9a-f]{64}$"));
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.size() > 65 && kCheck.match(QString::fromLatin1(line.chopped(1).last(65))).hasMatch())
            line = line.chopped(66) + '\r';
    }
    return lines.join('\n');
}

// A whole line of the chain's first place.
QByteArray firstChained(const QByteArray &body)
{
    return body + ',' + history::chainCheck({}, body) + "\r\n";
}

// Whether another thread can take the lock at path right now.
bool lockableElsewhere(const QString &path)
{
    bool locked = false;
    std::unique_ptr<QThread> other(QThread::create([&] {
        FileLock lock(path);
        locked = lock.lock(0) == FileLock::Result::Locked;
    }));
    other->start();
    other->wait();
    return locked;
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void linesFollowTheCountsInOrder();
    void clearingIsMarked();
    void clearingCanStartANewHistory();
    void formulasStayText();
    void lineIsWrittenUnderTheCountsLock();
    void secondHoldInTheSameThreadWaits();
    void slotOutOfRangeWritesNothing();
    void unwritableHistoryKeepsEveryWin();
    void tornLastLineIsEnded_data();
    void tornLastLineIsEnded();
    void unfinishedFirstWriteStartsAgain_data();
    void unfinishedFirstWriteStartsAgain();
    void readersSkipWhatIsNoRecord_data();
    void readersSkipWhatIsNoRecord();

private:
    QByteArray historyBytes() const;
    void writeHistory(const QByteArray &bytes) const;

    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::unique_ptr<DrawHistory> m_history;
    QDateTime m_now;
    std::function<void()> m_onStamp;
};

// Each line is stamped one second after the previous one.
void TestHistory::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = &m_folder->settings();
    m_now = kStart;
    m_onStamp = {};
    m_history = std::make_unique<DrawHistory>(*m_settings, [this] {
        if (m_onStamp)
            m_onStamp();
        return std::exchange(m_now, m_now.addSecs(1));
    });
}

QByteArray TestHistory::historyBytes() const
{
    return readWholeFile(m_history->path());
}

void TestHistory::writeHistory(const QByteArray &bytes) const
{
    QFile file(m_history->path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The file is created with its header; each line holds the prize value text
// (the draw's, when it used one the file does not hold) and the mode of its
// moment and the count just stored, quoted where the text needs it.
void TestHistory::linesFollowTheCountsInOrder()
{
    QCOMPARE(m_history->path(), m_folder->path() + u"/中奖记录.csv");
    QVERIFY(m_settings->writeSetting(keys::kPrizeValue[2], u"10件, \"大\"奖"));
    QVERIFY(m_settings->writeSetting(keys::kPrizeValue[4], u"5"));
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j5", u"2.5"));
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j8", u"9999999999999"));
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->recordWin(5), DrawHistory::Saved::Stored);
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByProbability));
    QCOMPARE(m_history->recordWin(8), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    // A value the draw used although config.a does not hold it.
    history::DrawMark typed;
    typed.prizeValue = u"7"_qs;
    QCOMPARE(m_history->recordWin(5, typed), DrawHistory::Saved::Stored);

    QCOMPARE(withoutChecks(historyBytes()),
             kHeader
                 + "2026-12-07 15:03:12,3,\"10件, \"\"大\"\"奖\",按数量,1,否,,,,,\r\n"
                   "2026-12-07 15:03:13,3,\"10件, \"\"大\"\"奖\",按数量,2,否,,,,,\r\n"
                   "2026-12-07 15:03:14,5,5,按数量,3.5,否,,,,,\r\n"
                   "2026-12-07 15:03:15,8,,按概率,1e+13,否,,,,,\r\n"
                   "2026-12-07 15:03:16,3,\"10件, \"\"大\"\"奖\",按概率,3,否,,,,,\r\n"
                   "2026-12-07 15:03:17,5,7,按概率,4.5,否,,,,,\r\n");
    const QList<history::Entry> entries = history::parse(historyBytes());
    QCOMPARE(entries.size(), 6);
    QCOMPARE(entries[4].time, kStart.addSecs(4));
    QCOMPARE(entries[4].slot, 3);
    QCOMPARE(entries[4].prizeValue, u"10件, \"大\"奖"_qs);
    QCOMPARE(entries[4].mode, u"按概率"_qs);
    QCOMPARE(entries[4].count, WinCounts(*m_settings).text(3));
    QVERIFY(m_history->failureToReport().isEmpty());
}

// The history so far keeps every byte under a name of its own, never over
// another file; the new one holds its header and the clearing's line, and
// chains from there.
void TestHistory::clearingCanStartANewHistory()
{
    QCOMPARE(m_history->recordWin(1), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
    const QByteArray rehearsal = historyBytes();
    QVERIFY(!m_history->takeArchived());
    QVERIFY(m_history->resetAll(true));
    const QString first = m_folder->filePath(u"中奖记录-20261207-150314.csv"_qs);
    QCOMPARE(m_history->takeArchived()->path, first);
    QVERIFY(!m_history->takeArchived());
    QCOMPARE(readWholeFile(first), rehearsal);
    QCOMPARE(withoutChecks(historyBytes()), kHeader + "2026-12-07 15:03:14,清空中奖,,,,,,,,,\r\n");

    // A file that already has the next clearing's name is left alone.
    const QString taken = m_folder->filePath(u"中奖记录-20261207-150315.csv"_qs);
    QFile other(taken);
    QVERIFY(other.open(QIODevice::WriteOnly) && other.write("other") == 5);
    other.close();
    const QByteArray event = historyBytes();
    QVERIFY(m_history->resetAll(true));
    const std::optional<history::Archived> second = m_history->takeArchived();
    QCOMPARE(second->path, m_folder->filePath(u"中奖记录-20261207-150315-2.csv"_qs));
    QVERIFY(second->failure.isEmpty());
    QCOMPARE(readWholeFile(taken), QByteArray("other"));
    QCOMPARE(readWholeFile(second->path), event);
    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QCOMPARE(withoutChecks(historyBytes()),
             kHeader + "2026-12-07 15:03:15,清空中奖,,,,,,,,,\r\n2026-12-07 15:03:16,3,,按数量,1,否,,,,,\r\n");
}

// A prize value a spreadsheet would take for a formula is written as text;
// numbers, signed ones too, are written as they are.
void TestHistory::formulasStayText()
{
    const QStringList values{u"=1+2"_qs, u"@SUM(A1)"_qs, u"-5"_qs, u"+7"_qs, u"-2-3"_qs};
    for (int slot = 1; slot <= values.size(); ++slot) {
        QVERIFY(m_settings->writeSetting(keys::kPrizeValue[slot - 1], values[slot - 1]));
        QCOMPARE(m_history->recordWin(slot), DrawHistory::Saved::Stored);
    }
    const QList<QByteArray> lines = historyBytes().split('\n');
    QCOMPARE(lines.size(), values.size() + 2);
    QVERIFY(lines[1].contains(",1,'=1+2,"));
    QVERIFY(lines[2].contains(",2,'@SUM(A1),"));
    QVERIFY(lines[3].contains(",3,-5,"));
    QVERIFY(lines[4].contains(",4,+7,"));
    QVERIFY(lines[5].contains(",5,'-2-3,"));
}

// A clearing keeps every earlier line and adds its own; the counts after it
// start again from 1.
void TestHistory::clearingIsMarked()
{
    QCOMPARE(m_history->recordWin(1), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
    QVERIFY(m_history->resetAll());
    QCOMPARE(m_history->recordWin(1), DrawHistory::Saved::Stored);
    QVERIFY(m_history->resetAll());

    const QList<QByteArray> lines = withoutChecks(historyBytes()).split('\n');
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[3], "2026-12-07 15:03:14,清空中奖,,,,,,,,,\r");
    const QList<history::Entry> entries = history::parse(historyBytes());
    QCOMPARE(entries.size(), 5);
    QList<int> slots;
    for (const history::Entry &entry : entries)
        slots << entry.slot;
    QCOMPARE(slots, (QList<int>{1, 2, 0, 1, 0}));
    QVERIFY(entries[2].isClear());
    QCOMPARE(entries[2].time, kStart.addSecs(2));
    QCOMPARE(entries[3].count, u"1"_qs);
    QCOMPARE(WinCounts(*m_settings).text(1), u"0"_qs);
}

// The line is written while the count's lock is held and after the count
// is stored, the lock is taken once for both, and it is free again once
// the win is counted.
void TestHistory::lineIsWrittenUnderTheCountsLock()
{
    BusyFiles files(true);
    const QString lock = m_settings->path(DataFile::Results) + u".lock";
    bool heldAtLine = false;
    qsizetype locksAtLine = 0;
    QString countAtLine;
    files.onOpen = [&](const QString &path) {
        if (path != m_history->path())
            return;
        locksAtLine = files.lockedPaths.count(lock);
        heldAtLine = !lockableElsewhere(lock);
        countAtLine = readWholeFile(m_settings->path(DataFile::Results));
    };
    QCOMPARE(m_history->recordWin(6), DrawHistory::Saved::Stored);
    QCOMPARE(locksAtLine, 1); // the count and its line take the lock once
    QCOMPARE(files.lockedPaths.count(lock), 2); // and the probe above once
    QVERIFY(heldAtLine);
    QVERIFY(countAtLine.contains(u"j6=1"));
    QVERIFY(lockableElsewhere(lock));

    heldAtLine = false;
    QVERIFY(m_history->resetAll());
    QVERIFY(heldAtLine);
    QVERIFY(countAtLine.contains(u"j6=0"));
    QVERIFY(lockableElsewhere(lock));
}

// The lock is not re-entrant: a second hold in the same thread meets the
// first like any other holder, and gets it once the first lets go.
void TestHistory::secondHoldInTheSameThreadWaits()
{
    const QString path = m_folder->filePath(QStringLiteral("nested.lock"));
    FileLock outer(path);
    QCOMPARE(outer.lock(0), FileLock::Result::Locked);
    {
        FileLock inner(path);
        QCOMPARE(inner.lock(0), FileLock::Result::Busy);
        QVERIFY(!inner.isLocked());
    }
    QVERIFY(outer.isLocked());
    QVERIFY(!lockableElsewhere(path));
    outer.unlock();
    QVERIFY(lockableElsewhere(path));
    QVERIFY(kLockFilesStay || !QFile::exists(path));
}

void TestHistory::slotOutOfRangeWritesNothing()
{
    QCOMPARE(m_history->recordWin(0), DrawHistory::Saved::Refused);
    QCOMPARE(m_history->recordWin(9), DrawHistory::Saved::Refused);
    QVERIFY(!QFile::exists(m_history->path()));
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Results)));
}

// A folder at the history's name stops every writer, root too. The wins
// are counted all the same, the failure is handed out once (not as a file
// another program holds: only a held file is), and the lines wait in order
// until the name is free again. The window only shows what this hands out.
void TestHistory::unwritableHistoryKeepsEveryWin()
{
    {
        // Held by another program: told as such.
        BusyFiles files;
        files.holdUntil(m_history->path(), std::numeric_limits<qint64>::max());
        QCOMPARE(m_history->recordWin(4), DrawHistory::Saved::Stored);
        QVERIFY(m_history->linesHeld());
        QVERIFY(m_history->heldToReport());
        QVERIFY(!m_history->failureToReport().isEmpty());
    }
    QVERIFY(QDir().mkpath(m_history->path()));
    QCOMPARE(m_history->recordWin(4), DrawHistory::Saved::Stored);
    QVERIFY(!m_history->linesHeld());
    QVERIFY(!m_history->heldToReport());
    QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
    QVERIFY(m_history->resetAll());
    QCOMPARE(m_history->recordWin(7), DrawHistory::Saved::Stored);
    QVERIFY(m_history->failureToReport().isEmpty());
    QVERIFY(!m_history->heldToReport());
    QCOMPARE(WinCounts(*m_settings).text(7), u"1"_qs);

    QCOMPARE(m_history->waitingLines(), 5);
    // Once the name is free again, the history goes on, missing nothing.
    QVERIFY(QDir(m_history->path()).removeRecursively());
    QCOMPARE(m_history->recordWin(7), DrawHistory::Saved::Stored);
    const QList<history::Entry> entries = history::parse(historyBytes());
    QCOMPARE(entries.size(), 6);
    QList<int> slots;
    for (const history::Entry &entry : entries)
        slots << entry.slot;
    QCOMPARE(slots, (QList<int>{4, 4, 2, 0, 7, 7}));
    QCOMPARE(entries[5].count, u"2"_qs);
    QVERIFY(m_history->failureToReport().isEmpty());
}

void TestHistory::tornLastLineIsEnded_data()
{
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<QByteArray>("ending");
    QTest::addRow("inside the time") << QByteArray("2026-12-07 15:0") << QByteArray(",");
    QTest::addRow("count cut short") << QByteArray("2026-12-07 15:03:13,3,1,按数量,1")
                                     << QByteArray(",");
    QTest::addRow("before the line feed") << QByteArray("2026-12-07 15:03:13,3,1,按数量,2\r")
                                          << QByteArray(",");
    QTest::addRow("inside quotes") << QByteArray("2026-12-07 15:03:13,3,\"10件, \"\"大")
                                   << QByteArray("\",");
    QTest::addRow("half a character") << QByteArray("2026-12-07 15:03:13,3,1,按\xE6")
                                      << QByteArray(",");
    QTest::addRow("zeros") << QByteArray(12, '\0') << QByteArray(",");
}

// The cut-off line stays, for whoever looks into the file, but ends in the
// torn mark; the quote it left open is closed first, so that it cannot
// swallow the line after it.
void TestHistory::tornLastLineIsEnded()
{
    QFETCH(QByteArray, fragment);
    QFETCH(QByteArray, ending);
    const QByteArray first = firstChained(history::winLine(kStart, 3, u"1"_qs, DrawMode::ByQuantity, u"1"_qs));
    writeHistory(kHeader + first + fragment);
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j3", u"1"));

    QCOMPARE(m_history->recordWin(3), DrawHistory::Saved::Stored);
    QCOMPARE(m_history->recordWin(7), DrawHistory::Saved::Stored);
    const QByteArray mark = ending + "断电时未写完，此行作废\r\n";
    // The torn line is outside the chain: the next line chains to the one
    // before it.
    QCOMPARE(withoutChecks(historyBytes()),
             withoutChecks(kHeader + first) + fragment + mark
                 + "2026-12-07 15:03:12,3,,按数量,2,否,,,,,\r\n"
                   "2026-12-07 15:03:13,7,,按数量,1,否,,,,,\r\n");
    const QList<history::Entry> entries = history::parse(historyBytes());
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].count, u"1"_qs);
    QCOMPARE(entries[1].count, u"2"_qs);
    QCOMPARE(entries[2].slot, 7);
    QVERIFY(m_history->failureToReport().isEmpty());
}

void TestHistory::unfinishedFirstWriteStartsAgain_data()
{
    QTest::addColumn<QByteArray>("left");
    QTest::addRow("half the mark") << kBom.left(2);
    QTest::addRow("half the header") << kHeader.left(14);
    QTest::addRow("header without its line end") << kHeader.chopped(2) + "\r";
    QTest::addRow("zeros") << QByteArray(80, '\0');
}

// A file without one whole line holds no record: it starts again with its
// header, so a spreadsheet still finds the byte order mark at its start.
void TestHistory::unfinishedFirstWriteStartsAgain()
{
    QFETCH(QByteArray, left);
    writeHistory(left);
    QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
    QCOMPARE(historyBytes(), kHeader + firstChained("2026-12-07 15:03:12,2,,按数量,1,否,,,,,"));
}

void TestHistory::readersSkipWhatIsNoRecord_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addRow("unfinished last line") << QByteArray("2026-12-07 15:03:13,4,1,按数量,1");
    QTest::addRow("ended as torn") << QByteArray("2026-12-07 15:03:13,4,1,按数量,断电时未写完，此行作废\r\n");
    QTest::addRow("six fields") << QByteArray("2026-12-07 15:03:13,4,1,按数量,1,2\r\n");
    QTest::addRow("slot 9") << QByteArray("2026-12-07 15:03:13,9,1,按数量,1\r\n");
    QTest::addRow("slot 0") << QByteArray("2026-12-07 15:03:13,0,1,按数量,1\r\n");
    QTest::addRow("no time") << QByteArray("2026-12-07 15:0,4,1,按数量,1\r\n");
    QTest::addRow("no mode") << QByteArray("2026-12-07 15:03:13,4,1,按,1\r\n");
    QTest::addRow("no count") << QByteArray("2026-12-07 15:03:13,4,1,按数量,\r\n");
    QTest::addRow("clearing with a count") << QByteArray("2026-12-07 15:03:13,清空中奖,,,1\r\n");
    QTest::addRow("quote left open") << QByteArray("2026-12-07 15:03:13,4,\"1,按数量,1\r\n");
    QTest::addRow("text after a quote") << QByteArray("2026-12-07 15:03:13,4,\"1\"x,按数量,1\r\n");
    QTest::addRow("bare quote") << QByteArray("2026-12-07 15:03:13,4,1\"2,按数量,1\r\n");
}

// Between two records, a line that is no record is left out and the records
// around it are kept.
void TestHistory::readersSkipWhatIsNoRecord()
{
    QFETCH(QByteArray, line);
    const QByteArray before = firstChained(history::winLine(kStart, 4, u"1"_qs, DrawMode::ByQuantity, u"1"_qs));
    const QByteArray after = firstChained(history::clearLine(kStart.addSecs(5)));
    const bool last = !line.endsWith("\r\n");
    const QList<history::Entry> entries
        = history::parse(kHeader + before + (last ? after + line : line + after));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].slot, 4);
    QVERIFY(entries[1].isClear());
    QCOMPARE(entries[1].time, kStart.addSecs(5));
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
