#pragma once

#include "core/wheelgeometry.h"

#include <QByteArray>

class OuterSize;
class SettingsFile;
struct MainControls;
struct MainMenu;

// The wheel's geometry, enlargement, round clip and face, and the window
// mode of the main window.
class WheelLayout
{
public:
    WheelLayout(MainControls &controls, MainMenu &menu, const SettingsFile &settings);

    void setFactor(double factor) { m_factor = factor; }
    double factor() const { return m_factor; }

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
    void setFullScreen();
    void setWindowed();

    static QByteArray face(int k);

private:
    void checkStyle(int k);
    void setFace(int k);

    MainControls &m_controls;
    MainMenu &m_menu;
    const SettingsFile &m_settings;
    OuterSize *m_outerSize; // owned by the window
    double m_factor = 1.0;
};
