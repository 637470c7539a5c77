#include "compositor.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

// Only where the build links libxcb (see CMakeLists.txt).
#ifdef LUNORA_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#include <cstdlib>
#define LUNORA_CHECK_X11_COMPOSITOR 1
#endif
#endif

#ifdef Q_OS_WIN
#include <windows.h>
#include <dwmapi.h>
#endif

namespace {

#ifdef LUNORA_CHECK_X11_COMPOSITOR
// The screen number of DISPLAY (":0.1" -> 1), 0 when none is given.
int x11ScreenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

bool x11HasCompositor()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(x11ScreenNumber());
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, quint16(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false; // nobody ever claimed it
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    if (!owner)
        return false;
    const bool owned = owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}
#endif

} // namespace

bool screenIsComposited()
{
#ifdef Q_OS_WIN
    // Wine draws a per-pixel-alpha window on X11 by cutting a window shape
    // from every pixel whose alpha is not zero: no blending (soft edges turn
    // into dark fringes), and a show with many scattered sparks gives a shape
    // of more rectangles than one X request can carry, which ends the
    // program. Wine 8 says composition is off; a later Wine may answer by
    // the Windows version it plays, so Wine is also recognised by ntdll's own
    // export. Windows 8 and later always compose; Windows 7 with the basic
    // theme does not.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version"))
        return false;
    BOOL enabled = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&enabled)) && enabled;
#else
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
#ifdef LUNORA_CHECK_X11_COMPOSITOR
        return x11HasCompositor();
#else
        return false;
#endif
    }
    return platform == QLatin1String("wayland") || platform.startsWith(QLatin1String("wayland-"))
        || platform == QLatin1String("cocoa") || platform == QLatin1String("windows");
#endif
}

size_t windowShapeRectangleLimit()
{
#ifdef Q_OS_WIN
    // Well below Wine's 32,765: a GDI region may band a shape into somewhat
    // more rectangles than QRegion does. Windows itself has no such limit,
    // but it only needs a shape when nothing composites, where this costs a
    // few glitter pixels at the peak of a show on a large screen.
    return 24000;
#else
    return 0; // Qt's X11 connection uses big requests
#endif
}
