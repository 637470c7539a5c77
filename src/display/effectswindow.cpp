#include "effectswindow.h"

#include "platform/compositor.h"
#include "widgets/screensize.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kFrameMs = 16;
// After a stall, catch up at most this many steps in one frame rather than
// freezing the event loop.
constexpr double kMaxCatchUp = 4 * Fireworks::kStep;

// A shape that shows nothing. An empty region cannot serve: it means "no
// mask", the whole black window.
const QRegion kNothing(-1, -1, 1, 1);

} // namespace

EffectsWindow::EffectsWindow(FireworksKind kind, quint32 seed, QWidget *owner, Surface surface)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                         | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      m_surface(surface),
      m_show(kind, screenAreaOf(owner).size(), seed)
{
    setObjectName(QStringLiteral("EffectsWindow"));
    setWindowTitle(QString());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    if (m_surface == Surface::Translucent) {
        setAttribute(Qt::WA_TranslucentBackground);
        m_damage = std::make_unique<FireworksDamage>(m_show.area());
    } else {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        m_frame = std::make_unique<MaskedFrame>(m_show.area());
        m_frame->setRectangleLimit(windowShapeRectangleLimit());
        // Nothing shows until the first sparks exist.
        setMask(kNothing);
    }
    // The screen the main window is on, wherever that screen lies.
    setGeometry(QRect(screenAreaOf(owner).topLeft(), m_show.area()));

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
    if (!m_frame) {
        pushTranslucentFrame();
        return;
    }
    m_frame->render(m_show, m_painter);
    // A window shows nothing outside its shape, so the newly shown pixels
    // can only reach the screen after the new shape. The frame goes into
    // the backing store first and is sent right behind the shape, which
    // keeps the moment a new spark shows what lies below as short as can be.
    // The widget's own repaint would clip to the shape and send one image
    // per rectangle of it, thousands, which makes the X server crawl; the
    // drawn cells are a few dozen.
    //
    // Until the window system has exposed the window, Qt has not sized the
    // store and its paint device is no image yet: a first tick that comes
    // before (a window manager still placing the window) drew into nothing
    // valid and crashed on Windows. Those cells go the ordinary way instead.
    const QRegion &cells = m_frame->touched();
    QBackingStore *store = cells.isEmpty() ? nullptr : readyStore();
    const bool put = store != nullptr;
    if (put)
        copyToStore(*store, cells);
    setMask(m_frame->shape().isEmpty() ? kNothing : m_frame->shape());
    if (put)
        store->flush(cells, windowHandle());
    else if (!cells.isEmpty())
        update(cells);
}

// Until the window system has exposed the window, Qt has not sized the store
// and its paint device is no image yet: null then.
QBackingStore *EffectsWindow::readyStore()
{
    QBackingStore *store = backingStore();
    QWindow *window = windowHandle();
    const bool ready = store && window && window->isExposed() && !store->size().isEmpty()
        && store->size() == window->size();
    return ready ? store : nullptr;
}

// A translucent window on Windows goes to the screen through
// UpdateLayeredWindowIndirect, one call per flush, which sends the bounding
// box of the flushed region: a repaint of the window, or of a region spread
// over it, sends nearly the whole screen every frame (33 MB at 4K). The
// changed cells are drawn straight into the backing store, which holds the
// frame before, and sent as a few separate rectangles instead.
void EffectsWindow::pushTranslucentFrame()
{
    m_damage->advance(m_show);
    const QRegion &changed = m_damage->region();
    if (changed.isEmpty())
        return;
    QBackingStore *store = readyStore();
    if (!store) {
        update(changed);
        return;
    }
    store->beginPaint(changed);
    {
        QPainter painter(store->paintDevice());
        m_damage->paint(painter, m_show, m_painter);
    }
    store->endPaint();
    for (const QRect &r : m_damage->pushes())
        store->flush(r, windowHandle());
}

void EffectsWindow::copyToStore(QBackingStore &store, const QRegion &cells)
{
    store.beginPaint(cells);
    {
        QPainter painter(store.paintDevice());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect &r : cells)
            painter.drawImage(r, m_frame->image(), r);
    }
    store.endPaint();
}

void EffectsWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (m_frame) {
        // One copy of the bounding box; the paint system clips it to the
        // repainted region, far cheaper than a copy per rectangle.
        painter.drawImage(event->rect(), m_frame->image(), event->rect());
        return;
    }
    painter.fillRect(event->rect(), Qt::transparent);
    m_painter.paint(painter, m_show);
}
