#include "hotkey.h"

bool GlobalHotKey::registerGlobal() { return false; }
void GlobalHotKey::unregisterGlobal() {}
