#pragma once

#include "config.h"
#include "expectedbox.h"
#include "historyarchive.h"
#include "historyfile.h"
#include "historyvoid.h"
#include "settingsfile.h"
#include "wincounts.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <mutex>

namespace publicdraw {
class Keys;
}

// A public draw's stop request: the mode and the box the landing is drawn
// from, and the moment the program handled the request (microseconds since
// 1970-01-01 UTC).
struct PublicStop
{
    DrawMode mode = DrawMode::ByProbability;
    publicdraw::Box box{};
    qint64 moment = 0;
    // The values typed in the prize window while its save waits or failed:
    // the draw uses them, so its line records them.
    std::optional<std::array<QString, 8>> prizeValues;
};

// What became of a public stop request. Taken: the win is counted in
// jieguo.a and its line is in 中奖记录.csv, synced, and the roll lands on
// slot. Not taken: nothing is counted and no key was used; the roll goes on.
struct PublicRecord
{
    bool taken = false;
    int slot = 0;
    QString refusal;        // not taken: why, for the operator
    QString historyFailure; // taken although its line's write failed midway
};

// The counts of jieguo.a (through WinCounts) together with their history in
// 中奖记录.csv beside it: every change of a count the program makes goes
// through here. The count is the record of truth: a win whose line cannot be written
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

    // The counts as they are now (the wins that wait included).
    const WinCounts &counts() const { return m_counts; }

    // run folder + "/中奖记录.csv", and the file of lines left waiting at
    // the last exit.
    QString path() const;
    QString waitingPath() const;

    // Counts a win of slot 1..8 and then appends its line: the time, the
    // slot, its prize value text (mark's, or else config.a's), the mode and
    // the count stored, then mark's cells. The design's draws only: a public
    // draw is recorded at its stop request (recordPublicStop).
    Saved recordWin(int slot, const history::DrawMark &mark = {});
    // With a worker that stores what waits (SaveWorker), recordWin() makes
    // no try of its own: the win waits for the worker's next try and is
    // Pending (or Refused, when its key cannot be stored), so the landing
    // never waits for jieguo.a's replace and sync.
    void setWinsPosted(bool posted) { m_winsPosted = posted; }

    // Resets the eight counts and then marks the clearing in the history; in
    // public mode a new commitment follows. With newHistory the history so
    // far is first renamed (history::archive, after the lines that wait for
    // it), so the clearing starts a new file. True when the counts were
    // reset or wait to be.
    bool resetAll(bool newHistory = false);
    // What the last clearing with a new history did with the old file, once
    // it has been stored; nullopt before and after it is taken.
    std::optional<history::Archived> takeArchived() { return std::exchange(m_archived, {}); }

    // Public mode: keys is the run's, and commit() makes its first
    // commitment; boxNow gives the box a draw would be drawn from now.
    // Never set in the design's mode.
    using BoxSource = std::function<publicdraw::Box()>;
    void setPublic(publicdraw::Keys *keys, BoxSource boxNow);
    bool isPublic() const { return m_keys != nullptr; }
    // Draws new keys and appends the 承诺 line announcing them, with the
    // mode and the box at this moment. A 承诺 never waits in memory: it is
    // on the record, or there is no commitment.
    void commit();
    // At a start request in public mode: the empty text when a commitment
    // stands on the record with a key left, after trying once more to make
    // one; otherwise why no draw can be public.
    QString publicRefusal();
    // The commitment on the record (empty: none) and the next draw's number.
    QByteArray recordedCommitment() const;
    qint64 nextDrawNumber() const;
    // At a stop request in public mode: first a 设置 line when the box is
    // not the one expected, then the draw, counted in jieguo.a with its line
    // in one transaction under jieguo.a's lock (see PublicRecord). The roll
    // asks and then shows the outcome, so that this may one day run off the
    // window's thread.
    PublicRecord recordPublicStop(const PublicStop &stop);
    // The mode and box the record expects next (a void changes it too).
    ExpectedBox &expectedBox() { return m_expected; }
    // The public mode ends: no key is used any more, and the history says so.
    void endPublicMode();

    // 作废上次中奖 (drawvoid.cpp). The win it would take back, read from the
    // history; nullopt, with why, when there is none, or when wins or lines
    // still wait to be written and the history cannot tell the latest.
    std::optional<history::Voidable> winToVoid(QString *why);
    // Takes win back, in one transaction under the counts' lock: the history
    // still shows it as the latest, its slot's count goes down by one and
    // the 作废 line is appended; if any of it fails, nothing counted changes.
    // The empty text, or why it was not voided.
    QString voidWin(const history::Voidable &win);

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
    // Whether the lines wait because another program holds the file (and
    // not because the file or folder refuses this user).
    bool linesHeld() const { return m_linesHeld; }
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
    QString appendNow(const QByteArray &line, bool *untouched);
    bool writePublicDraw(const PublicStop &stop, const QDateTime &time, const publicdraw::Landing &landing,
                         const QString &count, PublicRecord &record);
    void lineWritten();
    void startNewFile(const QDateTime &time);
    void writeWaitingLines();
    void loadLeftLines();
    void removeStoredWin(const QDateTime &time, int slot);
    bool waitsToBeWritten();
    void winStored(const QByteArray &line, const QDateTime &time, int slot);

    SettingsFile &m_settings;
    // Views of m_settings: the prize values and mode, and the counts.
    Config m_config{m_settings};
    WinCounts m_counts{m_settings};
    Clock m_clock;
    // Recursive: a line written inside a change's callback may run within a
    // call that holds it already.
    mutable std::recursive_mutex m_mutex;
    publicdraw::Keys *m_keys = nullptr;
    BoxSource m_boxNow;
    bool m_winsPosted = false;
    bool m_committed = false; // a 承诺 of m_keys is on the record
    QString m_commitFailure;  // why not, when it is not
    ExpectedBox m_expected;
    QByteArray m_lastCheck;
    std::function<void()> m_observer;
    QString m_failure;
    bool m_reported = false;
    bool m_held = false;
    bool m_linesHeld = false;
    bool m_heldReported = false;
    bool m_leftLoaded = false;
    QList<QByteArray> m_lines; // in order; the first m_leftLines came from the last run
    qsizetype m_leftLines = 0;
    QList<Win> m_pendingWins;
    QList<Win> m_lostWins;
    std::optional<history::Archived> m_archived;
    // Cleared when this object goes, so that a change still waiting in the
    // settings file never calls into it.
    std::shared_ptr<DrawHistory *> m_self;
};
