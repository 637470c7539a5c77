#include "widgets/outersize.h"

#include <QEvent>
#include <QWidget>

OuterSize::OuterSize(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

void OuterSize::resizeOuter(const QSize &outer)
{
    m_wanted = outer;
    fit();
}

// The frame is what the outer rectangle has beyond the inner one; before the
// window manager has framed the window the two are the same.
void OuterSize::fit()
{
    if (!m_wanted)
        return;
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    m_window->resize((*m_wanted - frame).expandedTo(QSize(1, 1)));
    if (frame.width() > 0 || frame.height() > 0)
        m_wanted.reset();
}

bool OuterSize::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && m_wanted) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            fit();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
