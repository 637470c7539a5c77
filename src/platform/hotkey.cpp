#include "hotkey.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {

// A control that takes typed text: there Shift+Q is a capital Q.
bool takesText(const QWidget *widget)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return !line->isReadOnly();
    if (const auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(widget))
        return !spin->isReadOnly();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    return false;
}

// Events after which a text box may have taken or lost the focus, or a
// modal window come or gone.
bool mayChangeTyping(QEvent::Type type)
{
    switch (type) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
    case QEvent::ReadOnlyChange:
        return true;
    default:
        return false;
    }
}

} // namespace

GlobalHotKey::GlobalHotKey(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_global = registerGlobal();
    m_held = m_global;
    // Watches the focus and the modal windows; without a system-wide grab
    // it also catches the key on its way to the window. With one the key
    // never reaches a window at all, so a press cannot count twice.
    if (qApp)
        qApp->installEventFilter(this);
    followTyping();
}

GlobalHotKey::~GlobalHotKey()
{
    if (qApp)
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

bool GlobalHotKey::programTakesTyping()
{
    if (QApplication::activeModalWidget())
        return true;
    // A modal window counts from the moment it is shown, before the window
    // system maps it and gives it the keyboard.
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowModality() != Qt::NonModal)
            return true;
    }
    const QWidget *focus = QApplication::focusWidget();
    return focus && takesText(focus);
}

void GlobalHotKey::followTyping()
{
    if (!m_global)
        return;
    const bool yield = programTakesTyping();
    if (yield && m_held) {
        unregisterGlobal();
        m_held = false;
    } else if (!yield && !m_held) {
        m_held = registerGlobal();
        // Another program took the key meanwhile: from now on it is the
        // window's own, as if the grab had been refused at the start.
        m_global = m_held;
    }
}

bool GlobalHotKey::isLocalHotKey(QObject *watched, QEvent *event) const
{
    if (m_global || event->type() != QEvent::KeyPress || !isInWindow(watched))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    constexpr auto chords = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (key->key() != Qt::Key_Q || (key->modifiers() & chords) != Qt::ShiftModifier)
        return false;
    return !takesText(static_cast<QWidget *>(watched));
}

bool GlobalHotKey::eventFilter(QObject *watched, QEvent *event)
{
    if (mayChangeTyping(event->type())) {
        followTyping();
        // Some changes (a modal window leaving the stack, the focus moving
        // back) are complete only after the event: look again then, once
        // for all the events up to that moment.
        if (m_global && !m_lookAgain) {
            m_lookAgain = true;
            QMetaObject::invokeMethod(this, [this] {
                m_lookAgain = false;
                followTyping();
            }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
    if (!isLocalHotKey(watched, event))
        return QObject::eventFilter(watched, event);
    // A registered hot key never reaches the focused control either, so the
    // press is taken here; it also stops the press from being seen again as
    // it propagates to the parent widgets.
    Q_EMIT activated();
    return true;
}
