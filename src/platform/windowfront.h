#pragma once

#include <QtGlobal>

// Brings the main window of another process of ours to the front, restored
// if it was minimised, with the keyboard focus. False while that process
// shows no window yet, and where the system gives no way to do it. Needs no
// application object.
bool bringWindowOfProcessToFront(qint64 pid);
