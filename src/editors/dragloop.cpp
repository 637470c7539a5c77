#include "dragloop.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {
// At most one control follows the mouse: there is only one left button.
QPointer<DragLoop> g_running;
}

void DragLoop::start(QWidget *target, QPoint pressGlobal, std::function<void()> finished)
{
    if (!target)
        return;
    if (g_running) // a release we never saw; the new press ends that drag
        g_running->finish();
    g_running = new DragLoop(target, pressGlobal, std::move(finished));
}

// Parented to the control it moves, so it goes away with it.
DragLoop::DragLoop(QWidget *target, QPoint pressGlobal, std::function<void()> finished)
    : QObject(target)
    , m_target(target)
    , m_pressGlobal(pressGlobal)
    , m_startPos(target->pos())
    , m_finished(std::move(finished))
{
    qApp->installEventFilter(this);
}

bool DragLoop::eventFilter(QObject *watched, QEvent *event)
{
    Q_UNUSED(watched);
    if (m_done)
        return false;
    if (event->type() == QEvent::MouseMove) {
        follow(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            follow(mouse->globalPosition().toPoint());
            finish();
        }
    }
    // The events still reach their receivers: the drag only watches them.
    return false;
}

void DragLoop::follow(QPoint global)
{
    // A move event is seen once by the native window and once by the widget;
    // both carry the same position, so moving twice lands in the same place.
    m_target->move(m_startPos + (global - m_pressGlobal));
}

void DragLoop::finish()
{
    if (m_done)
        return;
    m_done = true;
    if (g_running == this)
        g_running = nullptr;
    qApp->removeEventFilter(this);
    const std::function<void()> finished = std::move(m_finished);
    deleteLater();
    if (finished)
        finished();
}
