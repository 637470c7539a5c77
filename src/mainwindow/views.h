#pragma once

#include "display/wheellayout.h"
#include "lottery/rollscreen.h"
#include "editors/dragging.h"
#include "editors/optionspanel.h"
#include "editors/startup.h"
#include "editors/titles.h"

struct MainControls;
struct MainMenu;

// Each subsystem's view of the main window: exactly the controls (and menu
// actions) it works on, picked out of the window's full set. A subsystem
// never sees the rest, so a change to one control touches only those that
// list it here.
namespace views {

WheelControls wheel(const MainControls &c, const MainMenu &m);
OptionsControls options(const MainControls &c);
DraggingControls dragging(const MainControls &c);
TitleControls titles(const MainControls &c);
RollControls roll(const MainControls &c);
StartupControls startup(const MainControls &c);

} // namespace views
