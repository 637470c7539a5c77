#pragma once

#include <QMouseEvent>
#include <Qt>

// Key state of a mouse event: the sum of 1 for Ctrl, 2 for Shift, 4 for Alt.
inline int keyStateOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ControlModifier) ? 1 : 0)
        + (modifiers.testFlag(Qt::ShiftModifier) ? 2 : 0)
        + (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

// Raises a control's leftPressed or rightPressed with the position in its
// client area and the key state.
template<typename Control>
void emitPress(Control *control, QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int keys = keyStateOf(event->modifiers());
    if (event->button() == Qt::LeftButton)
        Q_EMIT control->leftPressed(pos, keys);
    else if (event->button() == Qt::RightButton)
        Q_EMIT control->rightPressed(pos, keys);
    event->accept();
}
