#pragma once

#include <QByteArray>
#include <QFrame>
#include <QPixmap>

class QPainter;

// A picture box: holds its picture as the raw bytes of an image file (empty
// means none) and draws it scaled to its current size, in the screen's own
// pixels. Bytes that do not
// decode show nothing. Decoding happens at the box's size and is cached on
// the bytes, so equal bytes are never decoded twice.
class PictureBox : public QFrame
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QByteArray &picture() const { return m_bytes; }
    void setPicture(const QByteArray &bytes);

    // Border style: false = none (0), true = raised double frame (2).
    bool isRaised() const { return m_raised; }
    void setRaised(bool raised);

Q_SIGNALS:
    // Key state: 1 Ctrl + 2 Shift + 4 Alt.
    void leftPressed(QPoint pos, int keyState);
    void rightPressed(QPoint pos, int keyState);
    void doubleClicked(QPoint pos, int keyState);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void refreshPixmap();
    void paintRaisedFrame(QPainter &painter) const;

    QByteArray m_bytes;
    QPixmap m_pixmap; // decoded at the content size in device pixels, at the next paint
    qreal m_pixmapRatio = 1.0; // the device pixel ratio m_pixmap was decoded for
    bool m_pixmapStale = false;
    bool m_raised = false;
};
