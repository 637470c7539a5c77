#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

// The bytes of a JPEG of one colour, as a picture file the operator chooses
// would hold them. `quality` as QImage::save takes it (-1: its default).
inline QByteArray solidJpeg(QSize size, const QColor &colour, int quality = -1)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return bytes;
}
