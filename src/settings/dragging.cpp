#include "dragging.h"

#include "core/keys.h"
#include "core/settingsfile.h"
#include "display/wheellayout.h"
#include "dragloop.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"

namespace {
constexpr int kCtrlAlone = 1;
}

ElementDragging::ElementDragging(const DraggingControls &controls, SettingsFile &settings,
                                 WheelLayout &wheel)
    : m_controls(controls)
    , m_settings(settings)
    , m_wheel(wheel)
{
}

void ElementDragging::moveMainTitle(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    drag(m_controls.mainTitle, pos, m_controls.mainTitle, keys::kMainTitleLeft,
         keys::kMainTitleTop, Titles::Keep);
}

void ElementDragging::moveSubTitle(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    drag(m_controls.subTitle, pos, m_controls.subTitle, keys::kSubTitleLeft, keys::kSubTitleTop,
         Titles::Keep);
}

void ElementDragging::moveResultPicture(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    // The titles stay above the picture wherever it is dropped.
    drag(m_controls.resultPicture, pos, m_controls.resultPicture, keys::kResultLeft,
         keys::kResultTop, Titles::Raise);
}

void ElementDragging::moveWheelByFrame(QPoint pos, int keyState)
{
    Q_UNUSED(keyState);
    drag(m_controls.wheelFrame, pos, m_controls.wheelFrame, keys::kWheelLeft, keys::kWheelTop,
         Titles::Raise);
}

void ElementDragging::moveWheelByFace(QPoint pos, int keyState)
{
    if (keyState != kCtrlAlone)
        return;
    // The face moves with its frame, never inside it.
    drag(m_controls.face, pos, m_controls.wheelFrame, keys::kWheelLeft, keys::kWheelTop,
         Titles::Keep);
}

void ElementDragging::drag(QWidget *pressed, QPoint pos, QWidget *target, QStringView leftKey,
                           QStringView topKey, Titles titles)
{
    DragLoop::start(target, pressed->mapToGlobal(pos), [this, target, leftKey, topKey, titles] {
        // The element stays where it was dropped; a failed write only means
        // the next start puts it back where it was stored.
        const bool saved = m_settings.writeMany(DataFile::Config, keys::kZbt,
                                                {{leftKey, QString::number(target->x())},
                                                 {topKey, QString::number(target->y())}});
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
