#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QSize>

// The primary screen's size; 1024 × 768 while there is no screen at all.
inline QSize primaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}
