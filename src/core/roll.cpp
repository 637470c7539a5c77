#include "roll.h"

#include <utility>

Roll::Roll(RollView &view, Config config, DrawHistory &history, Draw &draw)
    : m_view(view)
    , m_config(config)
    , m_history(history)
    , m_draw(draw)
{
}

void Roll::start()
{
    if (m_state.phase == RollPhase::Idle)
        startOrStop();
}

// While stopping, the screen still offers a stop: this one starts the roll
// again. The view disarms the auto-stop afterwards unless it did.
void Roll::stop()
{
    const bool wasStopped = m_state.phase != RollPhase::Rolling;
    if (m_state.phase != RollPhase::Idle)
        startOrStop();
    m_view.stopHandled(wasStopped && m_state.phase == RollPhase::Rolling);
}

// A request that finds no ticket changes nothing: the phase and the position
// stay. In public mode a draw on the record is always shown: between its
// stop and its landing tick no request starts a roll.
void Roll::startOrStop()
{
    if (m_recorded)
        return;
    m_view.requested();
    const bool rolling = m_state.phase == RollPhase::Rolling;
    if (!rolling && startRefused())
        return;
    const bool tickets = rolling ? buildStopBox() : m_draw.refill(m_config, m_history.counts());
    if (!tickets) {
        m_view.refused();
        return;
    }
    if (rolling)
        requestStop();
    else
        startRoll();
}

// Every stop request builds its box here, however it came: startOrStop,
// stop (by hand or by the auto-stop), or a roll running out of ticks
// (stopOnRunOut). The landing draws from this box and no other, so whatever
// a stop request must leave behind is done here. Whether it holds a ticket.
bool Roll::buildStopBox()
{
    return m_draw.refill(m_config, m_history.counts());
}

// Public mode never falls back to the design's generator: with no
// commitment on the record no roll starts.
bool Roll::startRefused()
{
    if (!m_history.isPublic())
        return false;
    const QString why = m_history.publicRefusal();
    if (!why.isEmpty())
        m_view.startRefused(why);
    return !why.isEmpty();
}

// The slot of the previous landing gets its picture back but keeps its
// raised border until the highlight next leaves it.
void Roll::startRoll()
{
    const RollEnd lastEnd{m_state.position};
    m_state.phase = RollPhase::Rolling;
    m_state.position = 0;
    m_state.tickBudget = m_draw.drawRollLength();
    m_view.started(lastEnd);
}

// The budget stays as it was: a stop undone at its landing tick (see tick)
// rolls on with it.
void Roll::requestStop()
{
    if (!recordPublicStop())
        return;
    m_state.phase = RollPhase::Stopping;
    m_view.stopRequested();
}

// Public mode: the box just built, the mode and this moment make the draw,
// which is counted and on the record before the roll moves toward it.
// Whether the stop is taken (always, in the design's mode).
bool Roll::recordPublicStop()
{
    if (!m_history.isPublic())
        return true;
    PublicRecord record = m_history.recordPublicStop(
        {m_config.drawMode(), m_draw.box(), m_draw.now(), m_draw.unsavedValues()});
    if (!record.taken) {
        m_view.stopNotTaken(record.refusal);
        return false;
    }
    m_recorded = std::move(record);
    return true;
}

// A landing tick can find the box empty only when a request between the stop
// and this tick was refused for want of tickets (the prize values, the mode
// or the results changed in that gap). That refused request left the state
// alone, as a refused stop during a roll does, so the roll goes on here the
// same way: rolling again with the budget it had before the stop. It lands
// at a later stop that finds tickets, or when its budget runs out.
void Roll::tick()
{
    if (m_state.phase == RollPhase::Idle)
        return; // the roll timer is stopped; a stray tick changes nothing
    if (m_state.phase == RollPhase::Stopping && !m_recorded && m_draw.pool().isEmpty()) {
        m_state.phase = RollPhase::Rolling;
        m_view.resumed();
    }
    bool landing = m_state.phase == RollPhase::Stopping;
    if (!landing && --m_state.tickBudget == 0) {
        const RunOut runOut = stopOnRunOut();
        if (runOut == RunOut::Empty) {
            endEmptyRunOut();
            return;
        }
        landing = runOut == RunOut::Landing;
    }
    step(landing);
    if (landing)
        landRoll();
}

// The budget ran out with no stop asked for: this tick asks, as a stop
// request would, and lands at once on a slot drawn from that box, so no
// landing takes a slot that has no ticket. In public mode the roll shows
// the run-out only once the draw is on the record; until then it rolls on
// and asks again a lap later.
Roll::RunOut Roll::stopOnRunOut()
{
    const bool isPublic = m_history.isPublic();
    if (!isPublic)
        m_view.ranOut();
    const bool tickets = buildStopBox();
    if (tickets && !recordPublicStop()) {
        m_state.tickBudget = kRunOutRetryTicks;
        return RunOut::NotRecorded;
    }
    if (isPublic)
        m_view.ranOut();
    if (!tickets)
        return RunOut::Empty;
    m_state.phase = RollPhase::Stopping; // the tick draws, as after any stop request
    return RunOut::Landing;
}

// Out of ticks with no ticket in the box: the roll ends where it stands and
// nothing is counted; the operator is told as at a request with no ticket.
void Roll::endEmptyRunOut()
{
    m_state.phase = RollPhase::Idle;
    m_view.endedEmpty({m_state.position});
}

// The highlight moves one slot on, or on a landing tick straight to the
// drawn slot; the slot it leaves is always the one after the last.
void Roll::step(bool landing)
{
    m_state.position = m_state.position % 8 + 1;
    const int previous = m_state.position == 1 ? 8 : m_state.position - 1;
    if (landing)
        m_state.position = drawLandingSlot();
    m_view.stepped({previous, m_state.position});
}

void Roll::armDesignation()
{
    m_draw.armDesignation();
    m_view.designationChanged(true);
}

void Roll::dropDesignation()
{
    if (!m_draw.designationArmed())
        return;
    m_draw.disarmDesignation();
    m_view.designationChanged(false);
}

// The draw uses the designation up when it honours it. A public draw was
// made at its stop request.
int Roll::drawLandingSlot()
{
    if (m_recorded)
        return m_recorded->slot;
    const bool designated = m_draw.designationArmed();
    const int slot = m_draw.drawLanding();
    if (designated)
        m_view.designationChanged(false);
    return slot;
}

// The end sound plays before the win is counted; what became of the win is
// shown after.
void Roll::landRoll()
{
    m_state.phase = RollPhase::Idle;
    m_state.tickBudget = 0;
    m_view.landed({m_state.position});
    if (const std::optional<PublicRecord> recorded = std::exchange(m_recorded, std::nullopt)) {
        m_view.winCounted({DrawHistory::Saved::Stored, recorded->historyFailure});
        return;
    }
    const DrawHistory::Saved saved = m_history.recordWin(m_state.position, m_draw.takeLandingMark());
    m_view.winCounted({saved, m_history.failureToReport()});
}
