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
    m_pixmapStale = true;
    update();
}

void PictureBox::setRaised(bool raised)
{
    if (m_raised == raised)
        return;
    m_raised = raised;
    update();
}

// Decoding waits for the paint: start-up sets pictures and then resizes the
// boxes, and a hidden box (the result picture) may never be shown at all.
// The picture is decoded at the box's size in the screen's own pixels, so a
// scaled screen shows it sharp rather than enlarged.
void PictureBox::refreshPixmap()
{
    m_pixmapStale = false;
    m_pixmapRatio = devicePixelRatioF();
    const QSize device = (QSizeF(contentsRect().size()) * m_pixmapRatio).toSize();
    const QImage image = imagedecode::decodeScaled(m_bytes, device);
    m_pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    m_pixmap.setDevicePixelRatio(m_pixmapRatio);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (m_pixmapStale || m_pixmapRatio != devicePixelRatioF()) // moved to a screen of another scale
        refreshPixmap();
    if (!m_pixmap.isNull()) {
        const QRect target = contentsRect();
        if (target.size() == m_pixmap.deviceIndependentSize().toSize())
            painter.drawPixmap(target.topLeft(), m_pixmap);
        else // boxes beyond the decode limit scale up here, clipped to what shows
            painter.drawPixmap(target, m_pixmap);
    }
    if (m_raised)
        paintRaisedFrame(painter);
}

// The highlight: a raised double frame, bright enough to follow from the
// back of a hall on a projector.
void PictureBox::paintRaisedFrame(QPainter &painter) const
{
    const int w = width();
    const int h = height();
    if (w < 4 || h < 4)
        return;
    const int outer = qBound(3, qMin(w, h) / 10, 12);
    const QRect r = rect();
    painter.setPen(Qt::NoPen);
    // Outer edge: light on the top and left, dark on the bottom and right.
    painter.fillRect(QRect(r.left(), r.top(), w, outer), QColor(255, 250, 200));
    painter.fillRect(QRect(r.left(), r.top(), outer, h), QColor(255, 250, 200));
    painter.fillRect(QRect(r.left(), r.bottom() - outer + 1, w, outer), QColor(150, 70, 0));
    painter.fillRect(QRect(r.right() - outer + 1, r.top(), outer, h), QColor(150, 70, 0));
    // Inner edge: a gold line just inside.
    const QRect inner = r.adjusted(outer, outer, -outer, -outer);
    painter.setPen(QPen(QColor(255, 200, 0), qMax(2, outer / 2)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(inner.adjusted(1, 1, -1, -1));
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    m_pixmapStale = true;
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    emitPress(this, event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked(event->position().toPoint(), keyStateOf(event->modifiers()));
    event->accept();
}
