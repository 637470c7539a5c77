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

// The auto-stop timer disarms itself after its first tick, and a stop through
// the centre caption disarms it too; a stop through 按钮1 leaves it armed.
void Roll::stopCaptionPressed()
{
    if (m_view.buttonCaption() == kStopCaption)
        startStopPress();
    m_view.setAutoStopInterval(0);
}

void Roll::startStopPress()
{
    m_view.setResultVisible(true);
    const QString autoStop = m_view.autoStopText();
    if (autoStop != u"0")
        m_view.setAutoStopInterval(values::truncToInt(values::textToNumber(autoStop) * 1000));
    m_view.closeWinEffect();
    // A request that finds no ticket changes nothing else: the auto-stop
    // timer is armed and the effect closed all the same.
    if (!m_draw.refill(m_settings)) {
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

void Roll::startRoll()
{
    m_view.setButtonCaption(kStopCaption);
    m_view.startMusic();
    resetRoll();
    m_view.setRollInterval(values::textToInt(m_view.rollSpeedText()));
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
    if (m_state.tickBudget == 0)
        m_view.setIdleCaptions(true);

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
    const DrawHistory::Saved saved = m_history.countWin(m_state.position);
    // Already 0 after a stop request; cleared here when the budget ran out
    // during a roll, so that the next request starts a new one.
    m_state.runFlag = 0;
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
