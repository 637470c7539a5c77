#pragma once

#include "draw.h"
#include "drawhistory.h"

#include <QString>
#include <optional>


// Idle: no roll timer. Rolling: the highlight moves. Stopping: a stop was
// asked for and the next tick lands; the screen still offers a stop, and
// only Roll::stop reaches the roll, which starts it again.
enum class RollPhase { Idle, Rolling, Stopping };

struct RollState
{
    RollPhase phase = RollPhase::Idle;
    int position = 0;      // slot under the highlight, 0 before the first roll
    qint32 tickBudget = 0; // ticks left while rolling, kept while stopping; 0 when idle
};

// One step of the highlight: previous loses it, position gets it.
struct RollStep
{
    int previous = 0;
    int position = 0;
};

// The slot a roll ended on (0: none yet). The screen gives it back the
// picture it holds for it: at the end, and again when the next roll starts.
struct RollEnd
{
    int slot = 0;
};

// What became of a landing's win, once the count was tried.
struct WinOutcome
{
    DrawHistory::Saved saved = DrawHistory::Saved::Stored;
    QString historyFailure; // not empty: 中奖记录.csv could not be written
};

// The roll's events, in the order they happen; the main window's roll screen
// shows them. The view may wait inside an event (the fireworks' 3.5 s, a
// message box) while ticks and presses run nested, so the roll sends each
// event only once its own state is final.
class RollView
{
public:
    virtual ~RollView() = default;

    // Every start or stop request, before the box is built for it.
    virtual void requested() = 0;
    // The request found no ticket; nothing else changed.
    virtual void refused() = 0;
    virtual void started(const RollEnd &lastEnd) = 0;
    virtual void stopRequested() = 0;
    // A landing tick found the box empty (a refused request after the stop):
    // the roll goes on as before the stop.
    virtual void resumed() = 0;
    // The budget ran out with no stop asked for; the tick asks for it.
    virtual void ranOut() = 0;
    // ...and the box then held no ticket: the roll ends where it stands.
    virtual void endedEmpty(const RollEnd &end) = 0;
    virtual void stepped(const RollStep &step) = 0;
    // Before the win is counted (the end sound comes first).
    virtual void landed(const RollEnd &end) = 0;
    virtual void winCounted(const WinOutcome &outcome) = 0;
    // A Roll::stop is over; restarted: it started the roll again between a
    // stop and its landing.
    virtual void stopHandled(bool restarted) = 0;
    virtual void designationChanged(bool armed) = 0;
    // Public mode: a start request found no commitment on the record; why.
    // Nothing else changed.
    virtual void startRefused(const QString &why) = 0;
    // Public mode: a stop request's draw could not be recorded, so it was
    // not taken: the roll goes on, and the next stop request tries again.
    virtual void stopNotTaken(const QString &why) = 0;
};

// The start and stop requests, the roll tick and the landing, in their
// exact step order. Its inputs are what the operator (or a timer) wants;
// which control asked is the window's business.
class Roll
{
public:
    // The draw's state is the program's; the roll changes it only through
    // Draw's functions.
    Roll(RollView &view, Config config, DrawHistory &history, Draw &draw);

    // The one key that both starts and stops: an idle roll starts, a
    // rolling one is asked to stop.
    void startOrStop();
    // A start: only an idle roll starts.
    void start();
    // A stop, by hand or by the auto-stop: a rolling roll is asked to stop.
    // Between a stop and its landing the screen still offers a stop, and
    // this one starts the roll again (unless a public draw is on the
    // record: that one is always shown).
    void stop();
    // A tick of the roll timer.
    void tick();
    // The hot key Shift+Q: the next landing is on the first ticket.
    void armDesignation();
    // Public mode begins: a designation armed before it is dropped, so
    // that no Shift+Q of the design's mode outlives the public draws.
    void dropDesignation();

    const RollState &state() const { return m_state; }

    // A run-out whose public draw could not be recorded asks again this
    // many ticks later: one lap of the wheel.
    static constexpr qint32 kRunOutRetryTicks = 8;

private:
    enum class RunOut { Landing, Empty, NotRecorded };

    bool buildStopBox();
    void startRoll();
    bool startRefused();
    void requestStop();
    bool recordPublicStop();
    RunOut stopOnRunOut();
    void endEmptyRunOut();
    void step(bool landing);
    void landRoll();
    int drawLandingSlot();

    RollView &m_view;
    Config m_config;
    DrawHistory &m_history;
    Draw &m_draw;
    RollState m_state;
    // Public mode, between a stop request and its landing: the draw already
    // on the record, which the landing only shows.
    std::optional<PublicRecord> m_recorded;
};
