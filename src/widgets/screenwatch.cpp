#include "screenwatch.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

ScreenWatch::ScreenWatch(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &ScreenWatch::changed);
    auto *app = qGuiApp;
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        schedule();
    });
    connect(app, &QGuiApplication::screenRemoved, this, [this] { schedule(); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this] { schedule(); });
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
    window->installEventFilter(this);
    followNativeWindow();
}

bool ScreenWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange))
        followNativeWindow();
    return QObject::eventFilter(watched, event);
}

void ScreenWatch::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this] { schedule(); });
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] { schedule(); });
}

void ScreenWatch::followNativeWindow()
{
    QWindow *native = m_window->windowHandle();
    if (!native || native == m_native)
        return;
    if (m_native)
        disconnect(m_native, nullptr, this, nullptr);
    m_native = native;
    connect(native, &QWindow::screenChanged, this, [this] { schedule(); });
}
