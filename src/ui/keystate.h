#pragma once

#include <Qt>

// Key state of a mouse event: the sum of 1 for Ctrl, 2 for Shift, 4 for Alt.
inline int keyStateOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ControlModifier) ? 1 : 0)
        + (modifiers.testFlag(Qt::ShiftModifier) ? 2 : 0)
        + (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}
