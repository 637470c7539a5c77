#pragma once

#include "core/roll.h"
#include "display/backgroundpicture.h"
#include "display/prizepictures.h"
#include "display/wheellayout.h"
#include "mainwindow/mainwindow.h"

#include <memory>

// The main window's parts that tests and benchmarks drive or inspect. The
// program reaches them only through the window's own bindings, so these
// accessors live with the tests.
class MainWindowParts
{
public:
    explicit MainWindowParts(MainWindow &window) : m_window(window) {}

    MainControls &controls() const { return m_window.m_controls; }
    MainMenu &menu() const { return m_window.m_menu; }
    SettingsFile &settings() const { return m_window.m_settings; }
    const Draw &draw() const { return m_window.m_draw; }
    Roll &roll() const { return *m_window.m_roll; }
    WheelLayout &wheel() const { return *m_window.m_wheel; }
    PrizePictures &pictures() const { return *m_window.m_pictures; }
    BackgroundPicture &background() const { return *m_window.m_background; }

private:
    MainWindow &m_window;
};

inline MainWindowParts parts(MainWindow &window) { return MainWindowParts(window); }
inline MainWindowParts parts(MainWindow *window) { return MainWindowParts(*window); }
inline MainWindowParts parts(const std::unique_ptr<MainWindow> &window) { return MainWindowParts(*window); }
