#include "effectswindow.h"

#include "compositor.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kFrameMs = 16;
// After a stall, catch up at most this many steps in one frame rather than
// freezing the event loop.
constexpr double kMaxCatchUp = 4 * Fireworks::kStep;

// A shape that shows nothing. An empty region cannot serve: it means "no
// mask", the whole black window.
const QRegion kNothing(-1, -1, 1, 1);

QSize primaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

} // namespace

EffectsWindow::EffectsWindow(FireworksKind kind, quint32 seed, QWidget *owner, Surface surface)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                         | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      m_surface(surface),
      m_show(kind, primaryScreenSize(), seed)
{
    setObjectName(QStringLiteral("EffectsWindow"));
    setWindowTitle(QString());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    if (m_surface == Surface::Translucent) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        // Nothing shows until the first sparks exist.
        setMask(kNothing);
    }
    setGeometry(QRect(QPoint(0, 0), m_show.area()));

    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(kFrameMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &EffectsWindow::nextFrame);
}

EffectsWindow::Surface EffectsWindow::surfaceForScreen()
{
    return screenIsComposited() ? Surface::Translucent : Surface::Masked;
}

// Some platforms (the offscreen one among them) activate every window they
// show, whatever its flags. The start/stop button must keep the keyboard, so
// the activation goes straight back to the window that had it.
bool EffectsWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_focusOwner && m_focusOwner != windowHandle())
        m_focusOwner->requestActivate();
    return QWidget::event(event);
}

void EffectsWindow::showEvent(QShowEvent *event)
{
    if (!m_focusOwner)
        m_focusOwner = QGuiApplication::focusWindow();
    QWidget::showEvent(event);
    if (!m_frameTimer.isActive()) {
        m_clock.start();
        m_frameTimer.start();
    }
}

void EffectsWindow::nextFrame()
{
    const double now = double(m_clock.nsecsElapsed()) / 1e9;
    m_show.advanceTo(std::min(now, m_show.time() + kMaxCatchUp));
    if (m_surface == Surface::Masked) {
        const QRegion shape = FireworksPainter::coverage(m_show);
        setMask(shape.isEmpty() ? kNothing : shape);
    }
    update();
}

void EffectsWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), m_surface == Surface::Translucent ? QColor(Qt::transparent) : QColor(Qt::black));
    m_painter.paint(painter, m_show);
}
