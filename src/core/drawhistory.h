#pragma once

#include "historyfile.h"
#include "settingsfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

namespace publicdraw {
class Keys;
}

// The counts of jieguo.a together with their history in 中奖记录.csv beside
// it. The count is the record of truth: a win whose line cannot be written
// stays counted, and the failure waits to be reported to the operator.
//
// A file another program holds loses nothing:
//  - a win jieguo.a cannot take within the settings file's wait waits in
//    memory (reads of the counts include it, so by quantity it already
//    takes its ticket) and is stored by retry(), by the next write of the
//    file, or by finish() at exit; its line follows when it is stored, with
//    the win's time and the count it got;
//  - a line 中奖记录.csv cannot take (a spreadsheet holds the file) waits in
//    order and is written by the next append or retry(); finish() puts the
//    lines that still wait into a file beside it, which the next run
//    appends before any new line. A line is never tried twice in a row:
//    the history never holds up a landing.
class DrawHistory
{
public:
    using Clock = std::function<QDateTime()>;
    using Saved = SettingsFile::Saved;

    // A win not yet in jieguo.a.
    struct Win
    {
        QDateTime time;
        int slot = 0;
    };

    // clock gives the local time each line is stamped with.
    explicit DrawHistory(SettingsFile &settings,
                         Clock clock = &QDateTime::currentDateTime);
    ~DrawHistory();
    DrawHistory(const DrawHistory &) = delete;
    DrawHistory &operator=(const DrawHistory &) = delete;

    // run folder + "/中奖记录.csv", and the file of lines left waiting at
    // the last exit.
    QString path() const;
    QString waitingPath() const;

    // Counts a win of slot 1..8 and then appends its line: the time, the
    // slot, its prize value text, the mode and the count stored, then mark's
    // cells. In public mode a draw that used the last key is followed by a
    // new commitment.
    Saved recordWin(int slot, const history::DrawMark &mark = {});

    // Resets the eight counts and then marks the clearing in the history; in
    // public mode a new commitment follows. True when the counts were reset
    // or wait to be.
    bool resetAll();

    // Public mode: keys is the run's, and commit() makes its first
    // commitment. Never set in the design's mode.
    void setPublicKeys(publicdraw::Keys *keys) { m_keys = keys; }
    // Draws new keys and appends the 承诺 line announcing them.
    void commit();

    // The check cell of the last line this program appended, and a call
    // made after every line appended.
    QByteArray lastCheck() const
    {
        const std::lock_guard guard(m_mutex);
        return m_lastCheck;
    }
    void setLineObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    // Another attempt at what waits (wins, settings, lines), holding the
    // caller at most waitMs for each file.
    void retry(int waitMs);
    // Whether anything waits: a win, a setting or a line.
    bool waits() const;
    // Wins that wait for jieguo.a, in order.
    QList<Win> pendingWins() const;
    int waitingLines() const;
    // Wins that waited and were then refused for good (the file turned
    // read-only, say), once each.
    QList<Win> takeLostWins();
    // At exit: retry(waitMs), then the lines that still wait go to
    // waitingPath(). The wins still waiting are returned: they are lost.
    QList<Win> finish(int waitMs);

    // Why the history could not be written, the first time it is asked
    // after a failure; the empty text at every later call of this run, so
    // the operator is told once and not at every landing.
    QString failureToReport();
    // True once, the first time lines had to wait for a held file.
    bool heldToReport();

private:
    void append(const QByteArray &line);
    void appendCommitment();
    void writeWaitingLines();
    void loadLeftLines();
    void removeStoredWin(const QDateTime &time, int slot);
    void winStored(const QByteArray &line, const QDateTime &time, int slot);

    SettingsFile &m_settings;
    Clock m_clock;
    // Recursive: a line written inside a change's callback may run within a
    // call that holds it already.
    mutable std::recursive_mutex m_mutex;
    publicdraw::Keys *m_keys = nullptr;
    QByteArray m_lastCheck;
    std::function<void()> m_observer;
    QString m_failure;
    bool m_reported = false;
    bool m_held = false;
    bool m_heldReported = false;
    bool m_leftLoaded = false;
    QList<QByteArray> m_lines; // in order; the first m_leftLines came from the last run
    qsizetype m_leftLines = 0;
    QList<Win> m_pendingWins;
    QList<Win> m_lostWins;
    // Cleared when this object goes, so that a change still waiting in the
    // settings file never calls into it.
    std::shared_ptr<DrawHistory *> m_self;
};
