#pragma once

#include "core/config.h"
#include "editors/startup.h"
#include "widgets/unsavednotice.h"

#include <QPoint>

class PictureBox;
class QWidget;
class ShapeBox;
class TransparentLabel;
class WheelLayout;

// What can be dragged: the two titles, the result picture and the wheel,
// by its frame or by its face.
struct DraggingControls
{
    TransparentLabel *mainTitle = nullptr;
    TransparentLabel *subTitle = nullptr;
    PictureBox *resultPicture = nullptr;
    ShapeBox *wheelFrame = nullptr;
    PictureBox *face = nullptr;
};

// Dragging the titles, the result picture and the wheel to any place on the
// screen. Each drag stores the element's new left and top at the release,
// even when it ended where it started.
class ElementDragging
{
public:
    ElementDragging(const DraggingControls &controls, Config config, WheelLayout &wheel);

    // The press position is in the pressed control's client area; keyState
    // is 1 Ctrl + 2 Shift + 4 Alt. The titles, the result picture and the
    // wheel face move only with Ctrl alone, so a plain click on them stays
    // a click; the wheel frame moves with any press.
    void moveMainTitle(QPoint pos, int keyState);
    void moveSubTitle(QPoint pos, int keyState);
    void moveResultPicture(QPoint pos, int keyState);
    void moveWheelByFrame(QPoint pos, int keyState);
    void moveWheelByFace(QPoint pos, int keyState);

    // Where drags whose save failed left their elements: a new layout for
    // the screen keeps them there for the rest of the run.
    const HeldPositions &heldPositions() const { return m_held; }

private:
    enum class Titles { Keep, Raise };

    void drag(QWidget *pressed, QPoint pos, QWidget *target, Config::Place place, Titles titles);
    void raiseTitles();

    DraggingControls m_controls;
    Config m_config;
    WheelLayout &m_wheel;
    UnsavedNotice m_unsaved{QStringLiteral("位置设置")};
    HeldPositions m_held;
};
