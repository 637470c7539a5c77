// The log an organiser sends after an event: whole lines from any thread,
// rotated at its size keeping the newest, never in anybody's way when it
// cannot be written, and holding the line of a failure the program
// recovered from.
#include "support_busyfiles.h"
#include "support_settingsfolder.h"

#include "core/drawhistory.h"
#include "core/eventlog.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <mutex>
#include <thread>

namespace {

Q_LOGGING_CATEGORY(logTest, "lunora.test", QtInfoMsg)
Q_LOGGING_CATEGORY(logOther, "other.test", QtInfoMsg)

// The lines of a log file, without the byte order mark it starts with.
QList<QByteArray> linesOf(const QString &path)
{
    QByteArray bytes = readWholeFile(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// Messages that reach the handler installed before the log's (Qt's own
// sends them to stderr), from any thread.
std::mutex g_passedOnMutex;
QStringList g_passedOn;
void keepPassedOn(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const std::lock_guard guard(g_passedOnMutex);
    g_passedOn.append(message);
}

} // namespace

class TestEventLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesOfTwoThreadsLandWhole();
    void rotationKeepsTheNewestLines();
    void unwritableFolderHoldsNobodyUp();
    void heldWriteLeavesItsLines();
};

// Two threads log at once through Qt's categories: every line is whole,
// stamped with its time and offset, each thread's in order; a line break in
// a message stays inside its line. Debug messages (off by default) and other
// categories stay out; everything still reaches the handler before.
void TestEventLog::linesOfTwoThreadsLandWhole()
{
    QTemporaryDir dir;
    constexpr int kEach = 1500;
    const QString padding(80, u'x');
    const QtMessageHandler before = qInstallMessageHandler(&keepPassedOn);
    g_passedOn.clear();
    {
        EventLog log(dir.path(), {4 << 20, 3, 100000});
        log.install();
        const auto logLines = [&](int thread) {
            for (int i = 0; i < kEach; ++i)
                qCInfo(logTest, "thread %d line %d %ls 中奖", thread, i, qUtf16Printable(padding));
        };
        std::thread first(logLines, 1);
        std::thread second(logLines, 2);
        first.join();
        second.join();
        qCWarning(logTest, "first\r\nsecond");
        qCDebug(logTest, "not by default");
        qCWarning(logOther, "not ours");
    }
    qInstallMessageHandler(before);
    QCOMPARE(g_passedOn.size(), 2 * kEach + 2);

    const QList<QByteArray> lines = linesOf(dir.filePath(EventLog::kFileName));
    QCOMPARE(lines.size(), 2 * kEach + 1);
    static const QRegularExpression kLine(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}(?:Z|[+-]\\d\\d:\\d\\d) lunora\\.test info "
        "thread ([12]) line (\\d+) x{80} 中奖$"));
    int next[3] = {0, 0, 0};
    for (qsizetype i = 0; i < lines.size() - 1; ++i) {
        const QRegularExpressionMatch match = kLine.match(QString::fromUtf8(lines[i]));
        QVERIFY2(match.hasMatch(), lines[i].constData());
        const int thread = match.captured(1).toInt();
        QCOMPARE(match.captured(2).toInt(), next[thread]++);
    }
    QVERIFY(lines.last().endsWith(" lunora.test warning first | second"));
}

// A small limit: the files rotate before a line would pass it, two old
// files are kept, and what they hold, oldest first, is the newest lines
// in order, up to the last one.
void TestEventLog::rotationKeepsTheNewestLines()
{
    QTemporaryDir dir;
    constexpr qint64 kLimit = 4096;
    {
        EventLog log(dir.path(), {kLimit, 2, 10000});
        for (int i = 0; i < 400; ++i)
            log.add(QtWarningMsg, "lunora.test", QStringLiteral("line %1 of the run").arg(i));
    }
    const QString path = dir.filePath(EventLog::kFileName);
    QVERIFY(!QFile::exists(path + QStringLiteral(".3")));
    QList<QByteArray> kept;
    for (const QString &file : QStringList{path + QStringLiteral(".2"), path + QStringLiteral(".1"), path}) {
        QVERIFY(QFile::exists(file));
        QVERIFY(QFileInfo(file).size() <= kLimit);
        kept += linesOf(file);
    }
    QVERIFY(kept.size() < 400); // the oldest lines went with the oldest file
    const int first = 400 - int(kept.size());
    for (qsizetype i = 0; i < kept.size(); ++i)
        QVERIFY2(kept[i].endsWith(QStringLiteral(" line %1 of the run").arg(first + i).toUtf8()),
                 kept[i].constData());
}

// A folder that cannot hold the log (here one under a plain file, which
// even an administrator cannot make): every message is still passed on,
// nothing is made, and the log ends with its lines still queued.
void TestEventLog::unwritableFolderHoldsNobodyUp()
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString folder = plain.fileName() + QStringLiteral("/sub");
    const QtMessageHandler before = qInstallMessageHandler(&keepPassedOn);
    g_passedOn.clear();
    {
        EventLog log(folder, {1024, 2, 10});
        log.install();
        for (int i = 0; i < 1000; ++i)
            qCWarning(logTest, "line %d", i);
    }
    qInstallMessageHandler(before);
    QCOMPARE(g_passedOn.size(), 1000);
    QVERIFY(!QFileInfo::exists(folder));
}

// jieguo.a held at a landing: the win waits, then the retry stores it; the
// next one waits until the exit gives up on it. The log tells both, from
// the program's own write path.
void TestEventLog::heldWriteLeavesItsLines()
{
    BusyFiles files;
    SettingsFolder folder;
    SettingsFile &settings = folder.settings();
    settings.setWait(100);
    const QString jieguo = settings.path(DataFile::Results);
    {
        EventLog log(folder.path());
        log.install();
        DrawHistory history(settings, [] { return QDateTime(QDate(2026, 12, 7), QTime(15, 3, 12)); });
        files.holdFor(jieguo, 1000);
        QCOMPARE(history.recordWin(3), DrawHistory::Saved::Pending);
        files.advance(2000);
        history.retry(100);
        QVERIFY(history.pendingWins().isEmpty());

        files.holdFor(jieguo, 60000);
        QCOMPARE(history.recordWin(5), DrawHistory::Saved::Pending);
        QCOMPARE(history.finish(100).size(), 1);
    }
    QList<QByteArray> lines;
    for (const QByteArray &line : linesOf(folder.filePath(EventLog::kFileName)))
        lines.append(line.mid(line.indexOf(' ') + 1)); // without the time
    QCOMPARE(lines, (QList<QByteArray>{
        "lunora.save info jieguo.a is held by another program: 1 change(s) wait and are tried again",
        "lunora.save info jieguo.a took 1 change(s) after a wait",
        "lunora.save info jieguo.a is held by another program: 1 change(s) wait and are tried again",
        "lunora.draw warning the win of slot 5 at 2026-12-07T15:03:12 is not counted: "
        "jieguo.a was still held at exit",
    }));
}

QTEST_GUILESS_MAIN(TestEventLog)
#include "test_eventlog.moc"
