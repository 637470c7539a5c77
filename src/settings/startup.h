#pragma once

#include <functional>

class BackgroundMusic;
class BackgroundPicture;
class PictureBox;
class PrizePictures;
class QCheckBox;
class QLineEdit;
class QWidget;
class SettingsFile;
class ShapeBox;
class TransparentLabel;
class WheelLayout;
class Draw;

// The controls the stored settings are applied to at start-up.
struct StartupControls
{
    QWidget *window = nullptr;
    TransparentLabel *mainTitle = nullptr;
    TransparentLabel *subTitle = nullptr;
    ShapeBox *wheelFrame = nullptr;
    PictureBox *resultPicture = nullptr;
    QLineEdit *resultWidthEdit = nullptr;
    QLineEdit *resultHeightEdit = nullptr;
    QLineEdit *rollSpeedEdit = nullptr;
    QLineEdit *autoStopEdit = nullptr;
    QLineEdit *wheelSizeEdit = nullptr;
    QCheckBox *effectsDisabledBox = nullptr;
};

// Everything the main window's creation handler applies settings to.
struct StartupTargets
{
    StartupControls controls;
    const SettingsFile &settings;
    Draw &draw; // its prize table is set from the stored values
    WheelLayout &wheel;
    PrizePictures &pictures;
    BackgroundMusic &music;
    BackgroundPicture &background;
    std::function<void()> registerHotKey;
    // The window mode is the window's own: it sets its flags and the menu.
    std::function<void()> setWindowed;
    std::function<void()> setFullScreen;
};

// The creation handler: reads config.a key by key and applies each value to
// its control, in a fixed order.
void runStartup(StartupTargets &t);
