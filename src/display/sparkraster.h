#pragma once

#include <QImage>
#include <QRgb>
#include <QTransform>

#include <vector>

class QPainter;

// Adds light straight into a premultiplied ARGB image, each channel summed
// and held at full (what CompositionMode_Plus does), for the soft drawing
// of sparks. QPainter's antialiased lines and small rectangles go through a
// blend call per pixel or per span: at 3840 x 2160 a show's peak frame took
// 20 ms. Coordinates are the painter's; the device transform may scale
// and move them (a screen scaled to 150 %), nothing else.
class SparkRaster
{
public:
    // False when the painter does not draw on such an image this way (another
    // device or format, a rotation, a clip): draw with the painter then.
    static bool usable(const QPainter &painter);

    explicit SparkRaster(QPainter &painter);

    double scale() const { return m_scale; }

    // An antialiased line of colour (premultiplied) from a to b, 1 pixel
    // wide, or 2 (the second pixel below a flat line, right of a steep one).
    void line(QPointF a, QPointF b, QRgb color, bool wide);
    // A rectangle, its edge pixels covered in part.
    void rect(const QRectF &r, QRgb color);
    // A premultiplied image, its top left corner at the point rounded to
    // device pixels, at the given strength (0 to 1).
    void image(QPointF topLeft, const QImage &sprite, float strength);

private:
    QPointF toDevice(QPointF p) const { return m_transform.map(p); }
    QRgb *row(int y) const { return reinterpret_cast<QRgb *>(m_bits + y * m_stride); }

    uchar *m_bits;
    qsizetype m_stride;
    int m_width, m_height;
    QTransform m_transform;
    double m_scale;
    std::vector<int> m_shares; // of a rectangle's columns, 0 to 256
};

// A colour at a strength from 0 to 1, premultiplied.
QRgb premultipliedAt(QRgb color, float strength);
