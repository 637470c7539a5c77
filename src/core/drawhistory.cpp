#include "drawhistory.h"

#include "durablefile.h"
#include "filesystem.h"
#include "historyfile.h"

#include <QLoggingCategory>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(logSave, "lunora.save", QtInfoMsg)
Q_LOGGING_CATEGORY(logDraw, "lunora.draw", QtInfoMsg)
Q_LOGGING_CATEGORY(logStart, "lunora.start", QtInfoMsg)

// Lines of 中奖记录.csv that waited before a write, and those that still
// wait after it: logged when lines begin or go on to wait, and when the
// ones that waited are all written.
void logLines(qsizetype waited, qsizetype left, bool held)
{
    if (left > waited)
        qCInfo(logSave, "中奖记录.csv %s: %lld line(s) wait",
               held ? "is held by another program" : "refuses the write", qlonglong(left));
    else if (waited > 0 && left == 0)
        qCInfo(logSave, "中奖记录.csv took the %lld line(s) that waited for it", qlonglong(waited));
}

// A win as the operator's box names it: its time and its slot.
void logLostWin(const DrawHistory::Win &win, const char *why)
{
    qCWarning(logDraw, "the win of slot %d at %ls is not counted: %s", win.slot,
              qUtf16Printable(win.time.toString(Qt::ISODate)), why);
}

// The lines of the file a last run left: each ends in CRLF; a piece without
// one is not a line.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf("\r\n", start); end >= 0; end = bytes.indexOf("\r\n", start)) {
        lines.append(bytes.mid(start, end + 2 - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

DrawHistory::DrawHistory(SettingsFile &settings, Clock clock)
    : m_settings(settings)
    , m_clock(std::move(clock))
    , m_self(std::make_shared<DrawHistory *>(this))
{
}

DrawHistory::~DrawHistory()
{
    *m_self = nullptr;
}

QString DrawHistory::path() const
{
    return m_settings.runDir() + u'/' + history::kFileName;
}

QString DrawHistory::waitingPath() const
{
    return path() + u".待写入";
}

// Other copies of the program count under the same lock, and a count's line
// is appended while that lock is still held, so the lines follow the counts
// in the order the counts were made, and the count a line names is the
// count of that very win, also when the win had to wait.
DrawHistory::Saved DrawHistory::recordWin(int slot, const history::DrawMark &mark)
{
    if (slot < 1 || slot > 8)
        return Saved::Refused;
    const QDateTime time = m_clock();
    const QString prizeValue = mark.prizeValue ? *mark.prizeValue : m_config.prizeValueText(slot);
    const DrawMode mode = m_config.drawMode();
    const std::weak_ptr<DrawHistory *> self = m_self;
    auto stored = [self, time, slot, prizeValue, mode, mark](const QString &count) {
        if (const auto history = self.lock(); history && *history)
            (*history)->winStored(history::winLine(time, slot, prizeValue, mode, count, mark), time, slot);
    };
    auto lost = [self, time, slot] {
        if (const auto history = self.lock(); history && *history) {
            const std::lock_guard guard((*history)->m_mutex);
            (*history)->removeStoredWin(time, slot);
            (*history)->m_lostWins.append({time, slot});
            logLostWin({time, slot}, "jieguo.a refused it after it waited");
        }
    };
    {
        const std::lock_guard guard(m_mutex);
        m_pendingWins.append({time, slot});
    }
    const Saved saved = m_winsPosted ? m_counts.postWin(slot, std::move(stored), std::move(lost))
                                     : m_counts.addWin(slot, std::move(stored), std::move(lost));
    if (saved == Saved::Refused) {
        const std::lock_guard guard(m_mutex);
        removeStoredWin(time, slot);
    }
    return saved;
}

void DrawHistory::winStored(const QByteArray &line, const QDateTime &time, int slot)
{
    const std::lock_guard guard(m_mutex);
    removeStoredWin(time, slot);
    append(line);
}

// The clearing is marked after the reset: a line never claims a clearing
// the counts did not see.
bool DrawHistory::resetAll(bool newHistory)
{
    const QDateTime time = m_clock();
    const std::weak_ptr<DrawHistory *> self = m_self;
    return m_counts.resetAll([self, time, newHistory] {
               if (const auto history = self.lock(); history && *history) {
                   const std::lock_guard guard((*history)->m_mutex);
                   if (newHistory)
                       (*history)->startNewFile(time);
                   (*history)->append(history::clearLine(time));
                   if ((*history)->m_keys)
                       (*history)->appendCommitment();
               }
           })
        != Saved::Refused;
}

// Under the lock of the clearing: the lines still waiting belong to the old
// file and go there first; if they cannot, it is not renamed.
void DrawHistory::startNewFile(const QDateTime &time)
{
    writeWaitingLines();
    if (!m_lines.isEmpty()) {
        m_archived = history::Archived{{}, QStringLiteral("它正被其他程序占用")};
        return;
    }
    m_archived = history::archive(path(), time);
}

void DrawHistory::endPublicMode()
{
    const std::lock_guard guard(m_mutex);
    setPublic(nullptr, {});
    m_expected.forget();
    append(history::publicEndLine(m_clock()));
}

// The files one after the other, never holding the mutex across a file's
// wait: the window's thread counts and reads meanwhile.
void DrawHistory::retry(int waitMs)
{
    static_cast<void>(m_settings.flush(DataFile::Results, waitMs));
    static_cast<void>(m_settings.flush(DataFile::Config, waitMs));
    const std::lock_guard guard(m_mutex);
    loadLeftLines();
    const qsizetype waited = m_lines.size();
    writeWaitingLines();
    logLines(waited, m_lines.size(), m_linesHeld);
}

bool DrawHistory::waits() const
{
    {
        const std::lock_guard guard(m_mutex);
        if (!m_pendingWins.isEmpty() || !m_lines.isEmpty())
            return true;
    }
    return m_settings.pendingCount(DataFile::Results) > 0
        || m_settings.pendingCount(DataFile::Config) > 0;
}

QList<DrawHistory::Win> DrawHistory::pendingWins() const
{
    const std::lock_guard guard(m_mutex);
    return m_pendingWins;
}

int DrawHistory::waitingLines() const
{
    const std::lock_guard guard(m_mutex);
    return int(m_lines.size());
}

QList<DrawHistory::Win> DrawHistory::takeLostWins()
{
    const std::lock_guard guard(m_mutex);
    return std::exchange(m_lostWins, {});
}

QList<DrawHistory::Win> DrawHistory::finish(int waitMs)
{
    retry(waitMs);
    const std::lock_guard guard(m_mutex);
    if (!m_lines.isEmpty()) {
        QByteArray bytes;
        for (const QByteArray &line : std::as_const(m_lines)) {
            bytes += line;
            if (!line.endsWith("\r\n"))
                bytes += "\r\n";
        }
        const qint64 deadline = FileSystem::current().milliseconds() + waitMs;
        const bool kept = durablefile::replace(waitingPath(), bytes, deadline) == durablefile::Replaced::Done;
        if (!kept && m_failure.isEmpty())
            m_failure = u"无法写入 " + waitingPath();
        qCWarning(logSave, "%lld line(s) of 中奖记录.csv still wait at exit: %s", qlonglong(m_lines.size()),
                  kept ? "kept beside it for the next run" : "they could not be kept and are lost");
    }
    for (const Win &win : std::as_const(m_pendingWins))
        logLostWin(win, "jieguo.a was still held at exit");
    if (const QStringList settings = m_settings.pendingEntries(DataFile::Config); !settings.isEmpty())
        qCWarning(logSave, "config.a was still held at exit; these settings are not stored: %ls",
                  qUtf16Printable(settings.join(QStringLiteral(", "))));
    return m_pendingWins;
}

QString DrawHistory::failureToReport()
{
    const std::lock_guard guard(m_mutex);
    if (m_failure.isEmpty() || m_reported)
        return {};
    m_reported = true;
    return m_failure;
}

bool DrawHistory::heldToReport()
{
    const std::lock_guard guard(m_mutex);
    if (!m_held || m_heldReported)
        return false;
    m_heldReported = true;
    return true;
}

void DrawHistory::append(const QByteArray &line)
{
    const std::lock_guard guard(m_mutex);
    loadLeftLines();
    const qsizetype waited = m_lines.size();
    m_lines.append(line);
    writeWaitingLines();
    logLines(waited, m_lines.size(), m_linesHeld);
}

// Each line exactly as it was made, in order, through history::append. A
// line the file could not take before anything was written waits, and the
// ones behind it with it; one written badly is reported and not given again.
void DrawHistory::writeWaitingLines()
{
    while (!m_lines.isEmpty()) {
        bool untouched = false;
        bool held = false;
        const QString failure = history::append(path(), m_lines.front(), &m_lastCheck, &untouched, &held);
        if (!failure.isEmpty() && m_failure.isEmpty())
            m_failure = failure;
        m_linesHeld = !failure.isEmpty() && held;
        m_held = m_held || m_linesHeld;
        // A file that refuses this user waits too: the permission may be
        // given during the run.
        if (!failure.isEmpty() && untouched)
            return;
        if (!failure.isEmpty())
            qCWarning(logDraw, "a line of 中奖记录.csv failed midway (%ls): %ls", qUtf16Printable(failure),
                      qUtf16Printable(QString::fromUtf8(m_lines.front()).left(40)));
        m_lines.removeFirst();
        if (failure.isEmpty())
            lineWritten();
        if (m_leftLines > 0 && --m_leftLines == 0)
            static_cast<void>(QFile::remove(waitingPath()));
    }
}

// The lines the last run could not write come before any of this run.
void DrawHistory::loadLeftLines()
{
    if (m_leftLoaded)
        return;
    const FileSystem &files = FileSystem::current();
    QFile file;
    const FileSystem::Outcome opened = files.open(file, waitingPath(), QIODevice::ReadOnly);
    if (opened == FileSystem::Outcome::Busy)
        return; // looked at again with the next line
    m_leftLoaded = true;
    if (opened != FileSystem::Outcome::Done)
        return;
    const QList<QByteArray> left = splitLines(file.readAll());
    if (!left.isEmpty())
        qCInfo(logStart, "%lld line(s) the last run could not write to 中奖记录.csv are written first",
               qlonglong(left.size()));
    if (left.isEmpty())
        static_cast<void>(QFile::remove(waitingPath()));
    m_lines = left + m_lines;
    m_leftLines = left.size();
}

void DrawHistory::removeStoredWin(const QDateTime &time, int slot)
{
    for (qsizetype i = 0; i < m_pendingWins.size(); ++i) {
        if (m_pendingWins[i].slot == slot && m_pendingWins[i].time == time) {
            m_pendingWins.removeAt(i);
            return;
        }
    }
}

void DrawHistory::lineWritten()
{
    if (m_observer)
        m_observer();
}
