#include "picturebox.h"

#include "imagedecode.h"
#include "keystate.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::NoFrame);
}

void PictureBox::setPicture(const QByteArray &bytes)
{
    m_bytes = bytes;
    refreshPixmap();
    update();
}

void PictureBox::setRaised(bool raised)
{
    if (m_raised == raised)
        return;
    m_raised = raised;
    // A raised double frame: an outer and an inner bevel, like a dialog edge.
    setFrameStyle(raised ? (QFrame::Panel | QFrame::Raised) : QFrame::NoFrame);
    setLineWidth(raised ? 3 : 1);
    refreshPixmap();
    update();
}

void PictureBox::refreshPixmap()
{
    const QImage image = imagedecode::decodeScaled(m_bytes, contentsRect().size());
    m_pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_pixmap.isNull())
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    const QRect target = contentsRect();
    if (target.size() == m_pixmap.size())
        painter.drawPixmap(target.topLeft(), m_pixmap);
    else // boxes beyond the decode limit scale up here, clipped to what shows
        painter.drawPixmap(target, m_pixmap);
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    refreshPixmap();
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int keys = keyStateOf(event->modifiers());
    if (event->button() == Qt::LeftButton)
        Q_EMIT leftPressed(pos, keys);
    else if (event->button() == Qt::RightButton)
        Q_EMIT rightPressed(pos, keys);
    event->accept();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked(event->position().toPoint(), keyStateOf(event->modifiers()));
    event->accept();
}
