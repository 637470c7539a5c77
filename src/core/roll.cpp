#include "roll.h"

#include "values.h"

#include <algorithm>
#include <utility>

int Roll::rollIntervalMs(const QString &speedText)
{
    // A speed of 0 ms or less would leave the roll timer stopped and the
    // roll without an end; a huge one (1e12 reads as 2,147,483,647 ms)
    // would not tick, and so not land, for weeks. The box keeps the text as
    // typed.
    const int interval = values::textToInt(speedText);
    if (interval <= 0)
        return kDefaultRollIntervalMs;
    return std::min(interval, kSlowestRollIntervalMs);
}

std::optional<int> Roll::autoStopMs(const QString &autoStopText)
{
    if (autoStopText == u"0")
        return std::nullopt;
    return values::truncToInt(values::textToNumber(autoStopText) * 1000);
}

Roll::Roll(RollView &view, const SettingsFile &settings, DrawHistory &history, Draw &draw)
    : m_view(view)
    , m_settings(settings)
    , m_history(history)
    , m_draw(draw)
{
}

void Roll::startCaptionPressed()
{
    if (m_state.phase == RollPhase::Idle)
        startStopPress();
}

// While stopping, the caption still reads 停止: a press here starts the roll
// again. The view disarms the auto-stop afterwards unless it did.
void Roll::stopCaptionPressed()
{
    const bool wasStopped = m_state.phase != RollPhase::Rolling;
    if (m_state.phase != RollPhase::Idle)
        startStopPress();
    m_view.stopPressHandled(wasStopped && m_state.phase == RollPhase::Rolling);
}

// A request that finds no ticket changes nothing: the phase, the position
// and the held picture stay.
void Roll::startStopPress()
{
    m_view.requested();
    const bool rolling = m_state.phase == RollPhase::Rolling;
    const bool tickets = rolling ? buildStopBox() : m_draw.refill(m_settings);
    if (!tickets) {
        m_view.refused();
        return;
    }
    if (rolling)
        requestStop();
    else
        startRoll();
}

// Every stop request builds its box here, however it came: 按钮1 or its key,
// 透明标签_结束, the auto-stop timer, or a roll running out of ticks
// (stopOnRunOut). The landing draws from this box and no other, so whatever
// a stop request must leave behind is done here. Whether it holds a ticket.
bool Roll::buildStopBox()
{
    if (!m_draw.refill(m_settings))
        return false;
    // The box and the moment a public landing is drawn from.
    m_draw.noteStopRequest();
    return true;
}

// The slot of the previous landing gets its picture back but keeps its
// raised border until the highlight next leaves it.
void Roll::startRoll()
{
    const RollEnd lastEnd{m_state.position, std::exchange(m_state.heldPicture, {})};
    m_state.phase = RollPhase::Rolling;
    m_state.position = 0;
    m_state.tickBudget = m_draw.drawRollLength();
    m_view.started(lastEnd);
}

// The budget stays as it was: a stop undone at its landing tick (see tick)
// rolls on with it.
void Roll::requestStop()
{
    m_state.phase = RollPhase::Stopping;
    m_view.stopRequested();
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
    if (m_state.phase == RollPhase::Stopping && m_draw.pool().isEmpty()) {
        m_state.phase = RollPhase::Rolling;
        m_view.resumed();
    }
    bool landing = m_state.phase == RollPhase::Stopping;
    if (!landing && --m_state.tickBudget == 0) {
        if (!stopOnRunOut()) {
            endEmptyRunOut();
            return;
        }
        landing = true;
    }
    step(landing);
    if (landing)
        landRoll();
}

// The budget ran out with no stop asked for: this tick asks, as a stop
// request would, and lands at once on a slot drawn from that box, so no
// landing takes a slot that has no ticket. Whether the box held a ticket.
bool Roll::stopOnRunOut()
{
    m_view.ranOut();
    if (!buildStopBox())
        return false;
    m_state.phase = RollPhase::Stopping; // the tick draws, as after any stop request
    return true;
}

// Out of ticks with no ticket in the box: the roll ends where it stands and
// nothing is counted; the operator is told as at a request with no ticket.
void Roll::endEmptyRunOut()
{
    m_state.phase = RollPhase::Idle;
    m_view.endedEmpty({m_state.position, m_state.heldPicture});
}

// The highlight moves one slot on, or on a landing tick straight to the
// drawn slot; the slot it leaves is always the one after the last.
void Roll::step(bool landing)
{
    m_state.position = m_state.position % 8 + 1;
    const int previous = m_state.position == 1 ? 8 : m_state.position - 1;
    if (landing)
        m_state.position = drawLandingSlot();
    m_state.heldPicture = m_view.stepped({previous, m_state.position});
}

void Roll::armDesignation()
{
    m_draw.armDesignation();
    m_view.designationChanged(true);
}

// The draw uses the designation up when it honours it.
int Roll::drawLandingSlot()
{
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
    m_view.landed({m_state.position, m_state.heldPicture});
    const DrawHistory::Saved saved = m_history.recordWin(m_state.position, m_draw.takeLandingMark());
    m_view.winCounted({saved, m_history.failureToReport()});
}
