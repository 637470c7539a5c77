#include "hotkey.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

GlobalHotKey::GlobalHotKey(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_global = registerGlobal();
    // Without a system-wide grab the key is caught on its way to the window.
    // With one it never reaches a window at all, so the local path stays off
    // and a press cannot count twice.
    if (!m_global && qApp) {
        qApp->installEventFilter(this);
        m_localFilter = true;
    }
}

GlobalHotKey::~GlobalHotKey()
{
    if (m_localFilter && qApp)
        qApp->removeEventFilter(this);
    unregisterGlobal();
}

bool GlobalHotKey::isInWindow(QObject *watched) const
{
    if (!watched->isWidgetType() || !m_window)
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    return widget == m_window || m_window->isAncestorOf(widget);
}

bool GlobalHotKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isInWindow(watched))
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    constexpr auto chords = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (key->key() != Qt::Key_Q || (key->modifiers() & chords) != Qt::ShiftModifier)
        return QObject::eventFilter(watched, event);
    // A registered hot key never reaches the focused control either, so the
    // press is taken here; it also stops the press from being seen again as
    // it propagates to the parent widgets.
    Q_EMIT activated();
    return true;
}
