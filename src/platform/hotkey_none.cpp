#include "hotkey.h"

// No system-wide hot key on this platform: the window's own key events carry
// Shift+Q while it has the focus.
bool GlobalHotKey::registerGlobal() { return false; }
void GlobalHotKey::unregisterGlobal() {}
