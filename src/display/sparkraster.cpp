#include "sparkraster.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Two channels at a time (bits 0-7 and 16-23): a + b, each held at 255.
inline quint32 addHeld(quint32 a, quint32 b)
{
    quint32 t = a + b;
    t |= 0x01000100u - ((t >> 8) & 0x00010001u);
    return t & 0x00ff00ffu;
}

// dst + src * weight / 256, each channel held at 255; weight 0 to 256.
inline QRgb addWeighted(QRgb dst, QRgb src, int weight)
{
    const auto w = quint32(weight);
    const quint32 rb = (((src & 0x00ff00ffu) * w) >> 8) & 0x00ff00ffu;
    const quint32 ag = ((((src >> 8) & 0x00ff00ffu) * w) >> 8) & 0x00ff00ffu;
    return addHeld(dst & 0x00ff00ffu, rb) | (addHeld((dst >> 8) & 0x00ff00ffu, ag) << 8);
}

// A row of addWeighted with one weight.
void addRow(QRgb *to, const QRgb *from, int count, int weight)
{
    int x = 0;
#ifdef __SSE2__
    const __m128i w = _mm_set1_epi16(short(weight));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= count; x += 4) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + x));
        const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(src, zero), w), 8);
        const __m128i high = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(src, zero), w), 8);
        __m128i *dst = reinterpret_cast<__m128i *>(to + x);
        _mm_storeu_si128(dst, _mm_adds_epu8(_mm_loadu_si128(dst), _mm_packus_epi16(low, high)));
    }
#endif
    for (; x < count; ++x)
        to[x] = addWeighted(to[x], from[x], weight);
}

inline int toWeight(double share)
{
    return int(share * 256.0 + 0.5);
}

// How much of the pixel from i to i + 1 the span from low to high covers.
inline double overlap(int i, double low, double high)
{
    return std::max(0.0, std::min(double(i + 1), high) - std::max(double(i), low));
}

} // namespace

QRgb premultipliedAt(QRgb color, float strength)
{
    const int a = std::clamp(int(std::lround(float(qAlpha(color)) * strength)), 0, 255);
    return qPremultiply(qRgba(qRed(color), qGreen(color), qBlue(color), a));
}

bool SparkRaster::usable(const QPainter &painter)
{
    QPaintDevice *device = painter.device();
    if (!device || device->devType() != QInternal::Image || painter.hasClipping())
        return false;
    if (painter.paintEngine() && !painter.paintEngine()->systemClip().isEmpty())
        return false;
    const auto *image = static_cast<const QImage *>(device);
    const QTransform t = painter.deviceTransform();
    return image->format() == QImage::Format_ARGB32_Premultiplied && t.type() <= QTransform::TxScale
        && t.m11() > 0 && std::abs(t.m11() - t.m22()) < 1e-6;
}

SparkRaster::SparkRaster(QPainter &painter)
    : m_bits(static_cast<QImage *>(painter.device())->bits()),
      m_stride(static_cast<QImage *>(painter.device())->bytesPerLine()),
      m_width(static_cast<QImage *>(painter.device())->width()),
      m_height(static_cast<QImage *>(painter.device())->height()),
      m_transform(painter.deviceTransform()),
      m_scale(m_transform.m11())
{
}

// One pixel per column (or row, for a steep line), shared between the two
// pixels nearest the line by how near each is; the last pixel is left to the
// next segment of a trail.
void SparkRaster::line(QPointF a, QPointF b, QRgb color, bool wide)
{
    QPointF p = toDevice(a), q = toDevice(b);
    const bool steep = std::abs(q.y() - p.y()) > std::abs(q.x() - p.x());
    if (steep) {
        p = QPointF(p.y(), p.x());
        q = QPointF(q.y(), q.x());
    }
    if (p.x() > q.x())
        std::swap(p, q);
    const double run = q.x() - p.x();
    if (run <= 0)
        return;
    const double slope = (q.y() - p.y()) / run;
    const int first = std::max(0, int(std::lround(p.x())));
    const int last = std::min(steep ? m_height : m_width, int(std::lround(q.x())));
    if (first >= last)
        return;
    // The line's height at each pixel's centre, less half a pixel, in 1/65536
    // of a pixel: the pixel row below it and the share of the one after.
    auto fixed = [](double v) { return qint64(std::floor(v * 65536.0 + 0.5)); };
    qint64 y = fixed(p.y() + slope * (double(first) + 0.5 - p.x()) - 0.5);
    const qint64 step = fixed(slope);
    const int across = steep ? m_width : m_height;
    // A wide line is the same line again one pixel further across: the
    // middle pixel gets both shares, which make a whole one.
    const int shares = wide ? 3 : 2;
    for (int i = first; i < last; ++i, y += step) {
        const int j = int(y >> 16);
        const int lower = int((y & 0xffff) >> 8);
        const int weights[3] = {256 - lower, wide ? 256 : lower, lower};
        for (int k = 0; k < shares; ++k) {
            if (j + k < 0 || j + k >= across)
                continue;
            QRgb &pixel = steep ? row(i)[j + k] : row(j + k)[i];
            pixel = addWeighted(pixel, color, weights[k]);
        }
    }
}

// Each pixel is covered by the product of its row's and its column's share.
void SparkRaster::rect(const QRectF &r, QRgb color)
{
    const QRectF d = m_transform.mapRect(r);
    const int left = std::max(0, int(std::floor(d.left()))), right = std::min(m_width, int(std::ceil(d.right())));
    const int top = std::max(0, int(std::floor(d.top()))), bottom = std::min(m_height, int(std::ceil(d.bottom())));
    if (left >= right)
        return;
    m_shares.resize(size_t(right - left));
    for (int x = left; x < right; ++x)
        m_shares[size_t(x - left)] = toWeight(overlap(x, d.left(), d.right()));
    for (int y = top; y < bottom; ++y) {
        const int rowShare = toWeight(overlap(y, d.top(), d.bottom()));
        QRgb *line = row(y) + left;
        for (int x = 0; x < right - left; ++x)
            line[x] = addWeighted(line[x], color, (rowShare * m_shares[size_t(x)] + 128) >> 8);
    }
}

void SparkRaster::image(QPointF topLeft, const QImage &sprite, float strength)
{
    const QPointF at = toDevice(topLeft);
    const int x0 = int(std::lround(at.x())), y0 = int(std::lround(at.y()));
    const int weight = toWeight(std::clamp(strength, 0.0f, 1.0f));
    const int left = std::max(0, -x0), right = std::min(sprite.width(), m_width - x0);
    const int top = std::max(0, -y0), bottom = std::min(sprite.height(), m_height - y0);
    if (weight <= 0 || left >= right)
        return;
    for (int y = top; y < bottom; ++y) {
        const QRgb *from = reinterpret_cast<const QRgb *>(sprite.constScanLine(y));
        addRow(row(y0 + y) + x0 + left, from + left, right - left, weight);
    }
}
