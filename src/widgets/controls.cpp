#include "controls.h"

#include "keystate.h"
#include "placement.h"

#include <QMouseEvent>

TransparentLabel::TransparentLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    // A caption shows its text as typed: a title such as "<b>年终</b>抽奖"
    // or "A &lt; B" is the operator's text, not markup.
    setTextFormat(Qt::PlainText);
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
    ::setTextColour(this, colour);
}

void TransparentLabel::mousePressEvent(QMouseEvent *event)
{
    emitPress(this, event);
}

Label::Label(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void Label::setTextColour(const QColor &colour)
{
    ::setTextColour(this, colour);
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
