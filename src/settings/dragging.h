#pragma once

#include "widgets/unsavednotice.h"

#include <QPoint>
#include <QStringView>

class PictureBox;
class QWidget;
class SettingsFile;
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
// screen. Each drag writes the element's new left and top to config.a at
// the release, even when it ended where it started.
class ElementDragging
{
public:
    ElementDragging(const DraggingControls &controls, SettingsFile &settings, WheelLayout &wheel);

    // The press position is in the pressed control's client area; keyState
    // is 1 Ctrl + 2 Shift + 4 Alt. The titles, the result picture and the
    // wheel face move only with Ctrl alone, so a plain click on them stays
    // a click; the wheel frame moves with any press.
    void moveMainTitle(QPoint pos, int keyState);
    void moveSubTitle(QPoint pos, int keyState);
    void moveResultPicture(QPoint pos, int keyState);
    void moveWheelByFrame(QPoint pos, int keyState);
    void moveWheelByFace(QPoint pos, int keyState);

private:
    enum class Titles { Keep, Raise };

    void drag(QWidget *pressed, QPoint pos, QWidget *target, QStringView leftKey,
              QStringView topKey, Titles titles);
    void raiseTitles();

    DraggingControls m_controls;
    SettingsFile &m_settings;
    WheelLayout &m_wheel;
    UnsavedNotice m_unsaved{QStringLiteral("位置设置")};
};
