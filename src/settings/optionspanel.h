#pragma once

#include <QPoint>

class SettingsFile;
class WheelLayout;
struct MainControls;

// The display options panel 外形框2. Its edit boxes and check box are the
// live settings the roll reads; only Save writes them to config.a.
class OptionsPanel
{
public:
    OptionsPanel(MainControls &controls, const SettingsFile &settings, WheelLayout &wheel);

    // Shows the panel above its siblings and stops the focus timer, which
    // would otherwise pull the keyboard focus out of the edit boxes.
    void open();
    // Hides the panel and restarts the focus timer; the edited texts stay.
    void close();
    // The panel follows the mouse until the button is released; its
    // position is not stored.
    void move(QPoint pressPos);
    // Writes the options exactly as typed and applies the result picture's
    // size and the wheel size at once.
    void save();

private:
    MainControls &m_controls;
    const SettingsFile &m_settings;
    WheelLayout &m_wheel;
};
