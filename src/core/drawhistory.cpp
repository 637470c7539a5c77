#include "drawhistory.h"

#include "historyfile.h"
#include "keys.h"
#include "prizetable.h"
#include "publicdraw.h"
#include "results.h"
#include "settingsfile.h"

#include <utility>

DrawHistory::DrawHistory(const SettingsFile &settings, Clock clock)
    : m_settings(settings)
    , m_clock(std::move(clock))
{
}

QString DrawHistory::path() const
{
    return m_settings.runDir() + u'/' + history::kFileName;
}

// Other copies of the program count under the same lock, so the lines
// follow the counts in the order the counts were made, and the count a line
// names is the count of that very win.
bool DrawHistory::countWin(int slot, const history::DrawMark &mark)
{
    if (slot < 1 || slot > 8)
        return false;
    bool counted = false;
    m_settings.underLock(DataFile::Results, [&] {
        // Read first, so that a crash between the count and its line has as
        // little time as possible to fall in.
        const QString prizeValue = m_settings.readZbt(keys::kPrizeValue[slot - 1]);
        const DrawMode mode = readDrawMode(m_settings);
        QString count;
        counted = results::countWin(m_settings, slot, &count);
        if (counted)
            append(history::winLine(m_clock(), slot, prizeValue, mode, count, mark));
        if (m_keys && m_keys->usedUp())
            appendCommitment();
        return counted;
    });
    return counted;
}

// The clearing is marked after the reset: a line never claims a clearing
// the counts did not see.
bool DrawHistory::resetAll()
{
    bool reset = false;
    m_settings.underLock(DataFile::Results, [&] {
        reset = results::resetAll(m_settings);
        if (reset)
            append(history::clearLine(m_clock()));
        if (reset && m_keys)
            appendCommitment();
        return reset;
    });
    return reset;
}

void DrawHistory::commit()
{
    if (!m_keys)
        return;
    m_settings.underLock(DataFile::Results, [this] {
        appendCommitment();
        return true;
    });
}

// Without the system's generator no key can be drawn: the draws that follow
// are refused as public ones (see Draw), and the operator is told why.
void DrawHistory::appendCommitment()
{
    const QByteArray commitment = m_keys->commit();
    if (commitment.isEmpty()) {
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("无法取得系统随机数，公开抽奖没有承诺");
        return;
    }
    append(history::commitLine(m_clock(), commitment));
}

QString DrawHistory::failureToReport()
{
    if (m_failure.isEmpty() || m_reported)
        return {};
    m_reported = true;
    return m_failure;
}

void DrawHistory::append(const QByteArray &line)
{
    const QString failure = history::append(path(), line, &m_lastCheck);
    if (!failure.isEmpty() && m_failure.isEmpty())
        m_failure = failure;
    if (failure.isEmpty() && m_observer)
        m_observer();
}
