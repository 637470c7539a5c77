#pragma once

class QScreen;
class SettingsFile;

// Which screen the main window shows on. The choice is kept in config.a by
// the screen's name, so a projector that is connected again later gets the
// window back; a name that no connected screen has means the primary screen.
namespace screenchoice {

// The stored screen when it is connected, otherwise the primary one; null
// only while the system has no screen at all.
QScreen *stored(const SettingsFile &settings);

// The screen after `current` in the system's list, the first after the
// last; `current` itself when it is the only one.
QScreen *next(QScreen *current);

// Stores the screen's name; false when config.a could not be written.
[[nodiscard]] bool remember(SettingsFile &settings, const QScreen *screen);

} // namespace screenchoice
