#pragma once

#include "historyfile.h"

#include <QDateTime>
#include <QString>
#include <functional>

class SettingsFile;
namespace publicdraw {
class Keys;
}

// The counts of jieguo.a together with their history in 中奖记录.csv beside
// it. The count is the record of truth: a win whose line cannot be written
// stays counted, and the failure waits to be reported to the operator.
class DrawHistory
{
public:
    using Clock = std::function<QDateTime()>;

    // clock gives the local time each line is stamped with.
    explicit DrawHistory(const SettingsFile &settings,
                         Clock clock = &QDateTime::currentDateTime);

    // run folder + "/中奖记录.csv"
    QString path() const;

    // Counts a win of slot 1..8 and, under the same lock and right after,
    // appends its line: the time, the slot, its prize value text, the mode
    // and the count just stored, then mark's cells. True when the win was
    // counted. In public mode a draw that used the last key is followed by a
    // new commitment.
    bool countWin(int slot, const history::DrawMark &mark = {});

    // Resets the eight counts and then marks the clearing in the history; in
    // public mode a new commitment follows. True when the counts were reset.
    bool resetAll();

    // Public mode: keys is the run's, and commit() makes its first
    // commitment. Never set in the design's mode.
    void setPublicKeys(publicdraw::Keys *keys) { m_keys = keys; }
    // Draws new keys and appends the 承诺 line announcing them.
    void commit();

    // The check cell of the last line this program appended, and a call
    // made after every line appended.
    const QByteArray &lastCheck() const { return m_lastCheck; }
    void setLineObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    // Why the history could not be written, the first time it is asked
    // after a failure; the empty text at every later call of this run, so
    // the operator is told once and not at every landing.
    QString failureToReport();

private:
    void append(const QByteArray &line);
    void appendCommitment();

    const SettingsFile &m_settings;
    Clock m_clock;
    publicdraw::Keys *m_keys = nullptr;
    QByteArray m_lastCheck;
    std::function<void()> m_observer;
    QString m_failure;
    bool m_reported = false;
};
