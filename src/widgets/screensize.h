#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QWidget>

// The primary screen's size; 1024 × 768 while there is no screen at all.
inline QSize primaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

// The area of a screen on the desktop; 1024 × 768 at the origin while there
// is no screen at all.
inline QRect screenArea(const QScreen *screen)
{
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

// The screen a widget's window is on: the one its native window reports,
// or, before it has one, the screen under its middle; the primary screen
// when neither is known.
inline QScreen *screenOf(const QWidget *widget)
{
    return widget ? widget->window()->screen() : QGuiApplication::primaryScreen();
}

inline QRect screenAreaOf(const QWidget *widget)
{
    return screenArea(screenOf(widget));
}
