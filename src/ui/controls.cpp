#include "controls.h"

#include "keystate.h"

#include <QMouseEvent>

namespace {

template<typename Control>
void emitPress(Control *control, QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int keys = keyStateOf(event->modifiers());
    if (event->button() == Qt::LeftButton)
        Q_EMIT control->leftPressed(pos, keys);
    else if (event->button() == Qt::RightButton)
        Q_EMIT control->rightPressed(pos, keys);
    event->accept();
}

void setForeground(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    label->setPalette(palette);
}

} // namespace

TransparentLabel::TransparentLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setWordWrap(false);
}

QColor TransparentLabel::textColour() const
{
    return palette().color(QPalette::WindowText);
}

void TransparentLabel::setTextColour(const QColor &colour)
{
    setForeground(this, colour);
}

void TransparentLabel::mousePressEvent(QMouseEvent *event)
{
    emitPress(this, event);
}

Label::Label(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
}

void Label::setTextColour(const QColor &colour)
{
    setForeground(this, colour);
}

void Label::mousePressEvent(QMouseEvent *event)
{
    emitPress(this, event);
}

ShapeBox::ShapeBox(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void ShapeBox::mousePressEvent(QMouseEvent *event)
{
    emitPress(this, event);
}

IntervalTimer::IntervalTimer(QObject *parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &IntervalTimer::tick);
}

void IntervalTimer::setInterval(int ms)
{
    if (ms < 0)
        ms = 0;
    if (ms == m_interval)
        return;
    m_interval = ms;
    if (ms == 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(ms);
}
