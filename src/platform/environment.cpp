#include "environment.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>

#ifdef LUNORA_HAVE_XCB
#include <xcb/xcb.h>
#endif

void preparePlatformEnvironment()
{
    // The screens are laid out in the screen's own pixels, whatever scale
    // the system sets (125 %, 150 % …): the design is drawn in pixels, and
    // Qt's scaling would shrink a 1920 × 1080 screen at 175 % to 1097 × 617,
    // below the wheel's bottom edge at 660. So Qt's scaling is off, and the
    // scale factors a desktop or a user may set for Qt programs are dropped;
    // only this program's own window sees them go.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", QByteArray("0"));
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    // The fonts are set in pixels at 96 dpi (a point is 4/3 of a pixel);
    // Qt's styles scale their margins, icons and indicators by the screen's
    // DPI unless told to assume 96 too, and a box at 150 % would show them
    // half as large again beside its text.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
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
