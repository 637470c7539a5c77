#include "dragging.h"

#include "display/wheellayout.h"
#include "dragloop.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"

namespace {
constexpr int kCtrlAlone = 1;
}

ElementDragging::ElementDragging(const DraggingControls &controls, Config config, WheelLayout &wheel)
    : m_controls(controls)
    , m_config(config)
    , m_wheel(wheel)
{
}

void ElementDragging::moveMainTitle(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    drag(m_controls.mainTitle, pos, m_controls.mainTitle, Config::Place::MainTitle,
         Titles::Keep);
}

void ElementDragging::moveSubTitle(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    drag(m_controls.subTitle, pos, m_controls.subTitle, Config::Place::SubTitle,
         Titles::Keep);
}

void ElementDragging::moveResultPicture(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    // The titles stay above the picture wherever it is dropped.
    drag(m_controls.resultPicture, pos, m_controls.resultPicture, Config::Place::ResultPicture,
         Titles::Raise);
}

void ElementDragging::moveWheelByFrame(QPoint pos, int keyState)
{
    Q_UNUSED(keyState);
    drag(m_controls.wheelFrame, pos, m_controls.wheelFrame, Config::Place::Wheel, Titles::Raise);
}

void ElementDragging::moveWheelByFace(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    // The face moves with its frame, never inside it.
    drag(m_controls.face, pos, m_controls.wheelFrame, Config::Place::Wheel, Titles::Keep);
}

void ElementDragging::drag(QWidget *pressed, QPoint pos, QWidget *target, Config::Place place,
                           Titles titles)
{
    DragLoop::start(target, pressed->mapToGlobal(pos), [this, target, place, titles] {
        // The element stays where it was dropped, through screen changes
        // too; a failed write only means the next start puts it back where
        // it was stored.
        const bool saved = m_config.setPosition(place, target->x(), target->y());
        if (saved)
            m_held.erase(place);
        else
            m_held[place] = target->pos();
        if (titles == Titles::Raise)
            raiseTitles();
        // The round clip covers only what could show where the wheel was.
        if (target == m_controls.wheelFrame)
            m_wheel.clipRound();
        m_unsaved.check(saved);
    });
}

void ElementDragging::raiseTitles()
{
    m_controls.mainTitle->raise();
    m_controls.subTitle->raise();
}
