#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

// Photographs as operators bring them: large JPEGs with real detail, so the
// decoder has work to do. Made once per process, deterministic.
inline QByteArray makePhotoJpeg(int width, int height, int quality, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    QPainter p(&image);
    QLinearGradient g(0, 0, width, height);
    g.setColorAt(0, QColor::fromHsv(int(seed * 37 % 360), 200, 230));
    g.setColorAt(1, QColor::fromHsv(int(seed * 91 % 360), 160, 120));
    p.fillRect(image.rect(), g);
    for (int i = 0; i < 4000; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgb(rng.generate() | 0xff000000u));
        const int r = 4 + int(rng.bounded(60));
        p.drawEllipse(QPoint(int(rng.bounded(width)), int(rng.bounded(height))), r, r);
    }
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}
