#pragma once

#include "core/wheelgeometry.h"
#include "widgets/unsavednotice.h"

#include <QByteArray>
#include <array>

class PictureBox;
class QAction;
class QWidget;
class SettingsFile;
class ShapeBox;
class TransparentLabel;

// The controls the wheel is made of, and the style actions that show which
// face it wears. The window is only read, to clip the wheel to what shows.
struct WheelControls
{
    QWidget *window = nullptr;
    ShapeBox *wheelFrame = nullptr;
    PictureBox *face = nullptr;
    TransparentLabel *startCaption = nullptr;
    TransparentLabel *stopCaption = nullptr;
    std::array<PictureBox *, 8> slots{};
    std::array<QAction *, 4> styles{};
};

// The wheel's geometry, enlargement, round clip and face.
class WheelLayout
{
public:
    WheelLayout(const WheelControls &controls, SettingsFile &settings);

    // The assembly as the widgets have it now, and back.
    WheelGeometry current() const;
    void apply(const WheelGeometry &g);

    void resetGeometry();
    void enlargeStep();
    void enlarge(long long n);
    void clipRound();
    void applySize(long long n);

    void selectStyle(int k);
    void applyStoredStyle();

    static QByteArray face(int k);

private:
    void checkStyle(int k);
    void setFace(int k);

    WheelControls m_controls;
    SettingsFile &m_settings;
    UnsavedNotice m_styleUnsaved{QStringLiteral("转盘样式设置")};
};
