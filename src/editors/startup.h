#pragma once

#include "core/config.h"

#include <QPoint>

#include <map>

class OptionsPanel;
class PictureBox;
class QSize;
class QWidget;
class ShapeBox;
class TransparentLabel;
class WheelLayout;

// The steps of start-up that apply stored settings to the controls. The main
// window runs them, with steps of its own, in the one order it lists.

// The controls the stored settings are applied to at start-up.
struct StartupControls
{
    QWidget *window = nullptr;
    TransparentLabel *mainTitle = nullptr;
    TransparentLabel *subTitle = nullptr;
    ShapeBox *wheelFrame = nullptr;
    PictureBox *resultPicture = nullptr;
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

// The window goes to the stored screen (the primary one when none is stored
// or it is not connected), as large as that screen, and its contents are
// laid out there.
void placeOnStoredScreen(const StartupControls &c, const Config &config);
// The result picture takes the stored size, and the options panel shows the
// size it really got; the other display options show as stored, and from
// then on count.
void applyOptions(const StartupControls &c, const Config &config, OptionsPanel &panel);
// The titles' texts; an empty stored text keeps the design's.
void applyTitles(const StartupControls &c, const Config &config);
// The wheel enlarged to the size the options panel shows.
void applyWheelSize(WheelLayout &wheel, const OptionsPanel &panel);
// A title's stored face, size and colour; nothing without the colour.
void applyTitleFont(const Config &config, TransparentLabel *label, Config::Title which);
