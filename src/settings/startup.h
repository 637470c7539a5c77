#pragma once

#include "core/config.h"

#include <QPoint>

#include <functional>
#include <map>

class BackgroundMusic;
class BackgroundPicture;
class OptionsPanel;
class PictureBox;
class PrizePictures;
class QSize;
class QWidget;
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
};

// Everything the main window's creation handler applies settings to.
struct StartupTargets
{
    StartupControls controls;
    Config config;
    Draw &draw; // its prize table is set from the stored values
    OptionsPanel &options; // shows the stored display options, which then count
    WheelLayout &wheel;
    PrizePictures &pictures;
    BackgroundMusic &music;
    BackgroundPicture &background;
    std::function<void()> registerHotKey;
    // The window mode is the window's own: it sets its flags and the menu.
    std::function<void()> setWindowed;
    std::function<void()> setFullScreen;
};

// Lays the window's contents out for a screen of the given size: the wheel
// centred across it and the titles as wide as it, then the positions the
// operator stored. Start-up does it once the window is on its screen, and
// the window again whenever that screen changes or it moves to another.
// held are the places drags gave this run that config.a did not take: they
// count over the stored ones, as the message about them promised.
using HeldPositions = std::map<Config::Place, QPoint>;
void placeOnScreen(const StartupControls &c, const Config &config, const QSize &screen,
                   const HeldPositions &held = {});

// The creation handler: reads the settings one by one and applies each value
// to its control, in a fixed order.
void runStartup(StartupTargets &t);
