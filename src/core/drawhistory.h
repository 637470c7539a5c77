#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class SettingsFile;

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
    // and the count just stored. True when the win was counted.
    bool countWin(int slot);

    // Resets the eight counts and then marks the clearing in the history.
    // True when the counts were reset.
    bool resetAll();

    // Why the history could not be written, the first time it is asked
    // after a failure; the empty text at every later call of this run, so
    // the operator is told once and not at every landing.
    QString failureToReport();

private:
    void append(const QByteArray &line);

    const SettingsFile &m_settings;
    Clock m_clock;
    QString m_failure;
    bool m_reported = false;
};
