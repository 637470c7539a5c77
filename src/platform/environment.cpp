#include "environment.h"

#include <QByteArray>
#include <QtGlobal>

void preparePlatformEnvironment()
{
#if defined(Q_OS_LINUX)
    // Qt 6.4's FFmpeg media backend crashes on a machine without a sound
    // device; GStreamer plays the same files and stays silent there. A value
    // the user set is left alone.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", QByteArray("gstreamer"));
#endif
}

bool hasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without any of these Qt aborts when the application object is made;
    // the caller ends cleanly with a message instead.
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
#else
    return true;
#endif
}
