#pragma once

#include <QtGlobal>

enum class WindowFront {
    Raised,       // the window answered and was asked to come to the front
    NoWindow,     // the process shows no window yet, or the system gives no way to find it
    NotAnswering, // the window did not answer within the time given: hung or stopped
};

// Brings the main window of another process of ours to the front, restored
// if it was minimised, with the keyboard focus. The window is first asked
// whether it answers, for at most `answerMs`; nothing here waits on it
// longer, so a hung copy cannot hang the caller. Needs no application
// object.
WindowFront bringWindowOfProcessToFront(qint64 pid, int answerMs);
