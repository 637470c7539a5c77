#include "drawhistory.h"

#include "durablefile.h"
#include "filesystem.h"
#include "historyfile.h"
#include "keys.h"
#include "prizetable.h"
#include "results.h"

#include <utility>

namespace {

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
    const QString prizeValue = mark.prizeValue ? *mark.prizeValue : m_settings.readZbt(keys::kPrizeValue[slot - 1]);
    const DrawMode mode = readDrawMode(m_settings);
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
        }
    };
    {
        const std::lock_guard guard(m_mutex);
        m_pendingWins.append({time, slot});
    }
    const Saved saved = m_winsPosted
        ? m_settings.postKey(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1], &results::addOne,
                             std::move(stored), std::move(lost))
        : m_settings.commitKey(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1], &results::addOne,
                               std::move(stored), std::move(lost));
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
    return m_settings.commitMany(DataFile::Results, keys::kZjjg, results::zeroCounts(),
                                 [self, time, newHistory](const QString &) {
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
    writeWaitingLines();
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
        if (durablefile::replace(waitingPath(), bytes, deadline) != durablefile::Replaced::Done
            && m_failure.isEmpty())
            m_failure = u"无法写入 " + waitingPath();
    }
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
    m_lines.append(line);
    writeWaitingLines();
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
