#include "roll.h"

#include "drawhistory.h"
#include "values.h"

#include <limits>

Roll::Roll(RollView &view, const SettingsFile &settings, DrawHistory &history, Draw &draw)
    : m_view(view)
    , m_settings(settings)
    , m_history(history)
    , m_draw(draw)
{
}

void Roll::startCaptionPressed()
{
    if (m_view.buttonCaption() == kStartCaption)
        startStopPress();
}

// The auto-stop timer disarms itself after its first tick, and a press here
// disarms it too, unless the press started a roll again between a stop and
// its landing: that roll keeps the auto-stop its start armed.
void Roll::stopCaptionPressed()
{
    const bool wasStopped = m_state.runFlag == 0;
    if (m_view.buttonCaption() == kStopCaption)
        startStopPress();
    if (!(wasStopped && m_state.runFlag == 1))
        m_view.setAutoStopInterval(0);
}

void Roll::startStopPress()
{
    m_view.setResultVisible(true);
    armAutoStop();
    m_view.closeWinEffect();
    // A request that finds no ticket changes nothing else: the auto-stop
    // timer is armed and the effect closed all the same.
    const bool tickets = m_state.runFlag == 1 ? buildStopBox() : m_draw.refill(m_settings);
    if (!tickets) {
        m_view.setResultVisible(false);
        m_view.showEmptyBoxMessage();
        return;
    }
    m_view.setIdleCaptions(false);
    m_state.runFlag = 1 - m_state.runFlag;
    if (m_state.runFlag == 1)
        startRoll();
    else
        requestStop();
}

// By the interval rule, a timer already running with this delay goes on
// with its old schedule.
void Roll::armAutoStop()
{
    const QString autoStop = m_view.autoStopText();
    if (autoStop != u"0")
        m_view.setAutoStopInterval(values::truncToInt(values::textToNumber(autoStop) * 1000));
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

void Roll::startRoll()
{
    m_view.setButtonCaption(kStopCaption);
    m_view.startMusic();
    resetRoll();
    // Each roll gets the whole auto-stop delay, even when the timer already
    // runs with it (armed by a refused request), so no earlier arming can
    // cut this roll short.
    m_view.setAutoStopInterval(0);
    armAutoStop();
    // A speed of 0 ms or less would leave the roll timer stopped and the
    // roll without an end. The box keeps the text as typed.
    const int interval = values::textToInt(m_view.rollSpeedText());
    m_view.setRollInterval(interval > 0 ? interval : kDefaultRollIntervalMs);
    m_view.setSlotRaised(1, true);
    m_state.tickBudget = m_draw.drawRollLength();
    m_view.setResultPicture({});
}

// The slot of the previous landing gets its picture back but keeps its
// raised border until the highlight next leaves it.
void Roll::resetRoll()
{
    if (m_state.position != 0)
        m_view.setSlotPicture(m_state.position, m_state.heldPicture);
    m_state.position = 0;
    m_state.tickBudget = 0;
    m_state.heldPicture.clear();
}

void Roll::requestStop()
{
    m_budgetAtStop = m_state.tickBudget;
    m_state.tickBudget = 1; // the next tick lands
    // The auto-stop belongs to the roll that armed it, whichever way that
    // roll is stopped; the next roll arms its own.
    m_view.setAutoStopInterval(0);
    m_view.stopMusic();
    m_view.setButtonEnabled(false);
    if (!m_view.effectsDisabled())
        m_view.showWinEffect();
}

// A landing tick can find the box empty only when a request between the stop
// and this tick was refused for want of tickets (the prize values, the mode
// or the results changed in that gap). That refused request left the state
// alone, as a refused stop during a roll does, so the roll goes on here the
// same way: rolling again with the budget it had before the stop, the music
// back on, the button usable and the effect closed. It lands at a later stop
// that finds tickets, or when its budget runs out.
void Roll::resumeAfterEmptyLanding()
{
    m_state.runFlag = 1;
    m_state.tickBudget = m_budgetAtStop;
    m_view.closeWinEffect();
    m_view.startMusic();
    m_view.setButtonEnabled(true);
}

void Roll::tick()
{
    if (m_state.runFlag == 0 && m_draw.pool().isEmpty())
        resumeAfterEmptyLanding();

    if (m_state.tickBudget > std::numeric_limits<qint32>::min())
        --m_state.tickBudget;
    if (m_state.tickBudget == 0) {
        m_view.setIdleCaptions(true);
        if (m_state.runFlag == 1 && !stopOnRunOut()) {
            endEmptyRunOut();
            return;
        }
    }

    m_state.position = m_state.position % 8 + 1;
    const int previous = m_state.position == 1 ? 8 : m_state.position - 1;

    if (m_state.runFlag == 0)
        m_state.position = drawLandingSlot();

    m_view.setSlotRaised(previous, false);
    m_view.reloadSlotPicture(previous);

    m_view.setSlotRaised(m_state.position, true);
    m_state.heldPicture = m_view.slotPicture(m_state.position);
    m_view.setSlotPicture(m_state.position, {});

    m_view.setResultPicture(m_state.heldPicture);

    if (m_state.tickBudget != 0)
        return;
    landRoll();
}

// The budget ran out with no stop asked for: this tick asks, as a stop
// request would, and lands at once on a slot drawn from that box, so no
// landing takes a slot that has no ticket. No fireworks; the end-of-roll
// sound plays at the landing. Whether the box held a ticket.
bool Roll::stopOnRunOut()
{
    m_view.setAutoStopInterval(0);
    m_view.stopMusic();
    if (!buildStopBox())
        return false;
    m_state.runFlag = 0; // the tick draws, as after any stop request
    return true;
}

// Out of ticks with no ticket in the box: the roll ends where it stands and
// nothing is counted; the operator is told as at a request with no ticket.
void Roll::endEmptyRunOut()
{
    m_state.runFlag = 0;
    m_view.setButtonCaption(kStartCaption);
    m_view.setButtonEnabled(true);
    m_view.setRollInterval(0);
    if (m_state.position != 0)
        m_view.setSlotPicture(m_state.position, m_state.heldPicture);
    m_view.setResultVisible(false);
    m_view.showEmptyBoxMessage();
}

// The designation is used up by the draw that honours it.
int Roll::drawLandingSlot()
{
    const bool designated = m_view.designationArmed();
    const int slot = m_draw.drawLanding(designated);
    if (designated)
        m_view.clearDesignation();
    return slot;
}

void Roll::landRoll()
{
    m_view.setButtonCaption(kStartCaption);
    m_view.setButtonEnabled(true);
    m_view.setRollInterval(0);
    m_view.setSlotPicture(m_state.position, m_state.heldPicture);
    m_view.playEndSound();
    const DrawHistory::Saved saved = m_history.recordWin(m_state.position, m_draw.takeLandingMark());
    // A win the record lost must not pass as counted: the operator has to
    // note it by hand and make the folder writable. One that waits for a
    // held file is only shown as being saved.
    if (saved == DrawHistory::Saved::Refused)
        m_view.showWinNotCounted();
    if (saved == DrawHistory::Saved::Pending)
        m_view.showWinPending();
    if (const QString reason = m_history.failureToReport(); !reason.isEmpty())
        m_view.showHistoryNotKept(reason);
}
