#include "displayawake.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

#ifdef LUNORA_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

QDBusMessage screenSaverCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

// The desktop's screen saver service is asked first (it also keeps the
// power manager from blanking the screen); where there is no session bus or
// no such service, the X server's own screen saver is suspended.
struct DisplayAwake::Private
{
    QDBusPendingCallWatcher *inhibit = nullptr;
    uint cookie = 0;
    bool inhibited = false;
    bool suspended = false;

    void suspendXScreenSaver(bool suspend)
    {
#ifdef LUNORA_HAVE_XSS
        auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        Display *display = x11 ? x11->display() : nullptr;
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        if (!display || !XScreenSaverQueryExtension(display, &event, &error)
            || !XScreenSaverQueryVersion(display, &major, &minor) || (major == 1 && minor < 1))
            return;
        XScreenSaverSuspend(display, suspend ? True : False);
        XFlush(display);
        suspended = suspend;
#else
        Q_UNUSED(suspend);
#endif
    }
};

DisplayAwake::DisplayAwake()
    : m_private(std::make_unique<Private>())
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_private->suspendXScreenSaver(true);
        return;
    }
    // Asked without waiting: the answer comes while the window shows.
    const QVariantList arguments {QStringLiteral("lunora"), QStringLiteral("抽奖进行中")};
    m_private->inhibit = new QDBusPendingCallWatcher(bus.asyncCall(screenSaverCall(QStringLiteral("Inhibit"), arguments)), this);
    connect(m_private->inhibit, &QDBusPendingCallWatcher::finished, this, [this] {
        const QDBusPendingReply<uint> reply = *m_private->inhibit;
        m_private->inhibit->deleteLater();
        m_private->inhibit = nullptr;
        if (reply.isValid()) {
            m_private->cookie = reply.value();
            m_private->inhibited = true;
        } else {
            m_private->suspendXScreenSaver(true);
        }
    });
}

DisplayAwake::~DisplayAwake()
{
    if (m_private->inhibited) {
        // Waited for, briefly: the program ends next. The service would also
        // drop it once our connection to the bus closes.
        QDBusConnection::sessionBus().call(screenSaverCall(QStringLiteral("UnInhibit"), {m_private->cookie}),
                                           QDBus::Block, 2000);
    }
    if (m_private->suspended)
        m_private->suspendXScreenSaver(false);
}
