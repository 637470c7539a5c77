#pragma once

#include <functional>

class BackgroundMusic;
class BackgroundPicture;
class PrizePictures;
class SettingsFile;
class WheelLayout;
struct MainControls;
struct PrizeTable;

// Everything the main window's creation handler applies settings to.
struct StartupTargets
{
    MainControls &controls;
    const SettingsFile &settings;
    PrizeTable &table;
    WheelLayout &wheel;
    PrizePictures &pictures;
    BackgroundMusic &music;
    BackgroundPicture &background;
    std::function<void()> registerHotKey;
};

// The creation handler: reads config.a key by key and applies each value to
// its control, in a fixed order.
void runStartup(StartupTargets &t);
