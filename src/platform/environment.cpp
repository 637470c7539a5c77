#include "environment.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef LUNORA_HAVE_XCB
#include <xcb/xcb.h>
#endif

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

QByteArray displayProblem()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (display.isEmpty() && !wayland && platform.isEmpty())
        return "no display found (DISPLAY is not set); start it on a desktop or under Xvfb.";
#ifdef LUNORA_HAVE_XCB
    // Qt aborts just the same when DISPLAY names an X server that cannot be
    // reached (one that has ended, a DISPLAY left over from a remote login).
    // Where X11 is the only choice Qt has, it is tried first.
    const bool x11Only = platform.isEmpty() ? !wayland : platform.startsWith("xcb");
    if (!display.isEmpty() && x11Only) {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        const int error = xcb_connection_has_error(connection);
        xcb_disconnect(connection);
        if (error != 0)
            return QByteArray("cannot open the display ").append(display).append("; is its X server running?");
    }
#endif
#endif
    return {};
}
