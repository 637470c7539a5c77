#pragma once

#include "core/config.h"

class QScreen;

// Which screen the main window shows on. The choice is stored by the
// screen's name and corner (ScreenPlace), so a projector that is connected
// again later gets the window back, and of two monitors of one model the
// one at the stored place is chosen; a name that no connected screen has
// means the primary screen.
namespace screenchoice {

// The stored screen when it is connected, otherwise the primary one; null
// only while the system has no screen at all.
QScreen *stored(const Config &config);

// The screen after `current` in the system's list, the first after the
// last; `current` itself when it is the only one.
QScreen *next(QScreen *current);

// Stores the screen's name and corner; false when config.a could not be written.
[[nodiscard]] bool remember(Config config, const QScreen *screen);

} // namespace screenchoice
