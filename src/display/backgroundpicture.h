#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>

class QPainter;
class QWidget;
class PictureBox;

// The main window's background: 底图.jpg beside the program, stretched over
// the client area, red when there is none. The scaled pixmap is cached for
// the window's size, so a repaint never scales the picture again.
class BackgroundPicture
{
public:
    BackgroundPicture(QString runDir, QWidget *window, PictureBox *resultPicture);

    QString path() const;
    void load();
    void replace();
    void clear();

    const QByteArray &bytes() const { return m_bytes; }
    void paint(QPainter &painter, const QRect &exposed);

private:
    QString m_runDir;
    QWidget *m_window;
    PictureBox *m_resultPicture;
    QByteArray m_bytes;
    QPixmap m_scaled;
    // The window size in device pixels m_scaled was made for. Not m_scaled's own size: bytes
    // that do not decode give no pixmap, and a window wider than the decode
    // limit gets a smaller one, and neither may be decoded again each paint.
    QSize m_scaledFor;
};
