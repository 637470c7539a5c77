#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

// A left-button drag as the operator makes it: press on `pressed` at `pos`
// with `modifiers`, move the mouse by `delta` in a few steps while holding
// the button, release. The mouse moves in screen coordinates, so a control
// that follows it keeps receiving positions relative to where it is now.
inline void dragWithMouse(QWidget *pressed, QPoint pos, QPoint delta,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPoint start = pressed->mapToGlobal(pos);
    QTest::mousePress(pressed, Qt::LeftButton, modifiers, pos);
    constexpr int kSteps = 4;
    for (int i = 1; i <= kSteps; ++i) {
        const QPoint global = start + delta * i / kSteps;
        QMouseEvent move(QEvent::MouseMove, pressed->mapFromGlobal(global), global, Qt::NoButton,
                         Qt::LeftButton, modifiers);
        QApplication::sendEvent(pressed, &move);
    }
    QTest::mouseRelease(pressed, Qt::LeftButton, modifiers, pressed->mapFromGlobal(start + delta));
}
