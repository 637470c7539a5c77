#include "fireworkspainter.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

// Radius of the soft glow around a spark's head, in pixels.
int glowRadius(const Spark &s)
{
    const float factor = s.role == Spark::Role::Glitter ? 2.2f : 3.0f;
    return std::max(2, int(std::lround(s.size * factor)));
}

float twinkle(const Spark &s)
{
    if (s.role != Spark::Role::Glitter)
        return 1.0f;
    return std::sin(s.age * 38.0f + s.phase) > -0.3f ? 1.0f : 0.2f;
}

// Splits a line into pieces no longer than kPiece along its longer axis and
// adds a rectangle for each, so a diagonal trail is not covered by one big box.
void addSegmentRects(std::vector<QRect> &out, float x0, float y0, float x1, float y1, int pad)
{
    constexpr float kPiece = 10.0f;
    const float span = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    const int pieces = std::max(1, int(std::ceil(span / kPiece)));
    float px = x0, py = y0;
    for (int i = 1; i <= pieces; ++i) {
        const float t = float(i) / float(pieces);
        const float nx = x0 + (x1 - x0) * t, ny = y0 + (y1 - y0) * t;
        const int left = int(std::floor(std::min(px, nx))) - pad;
        const int top = int(std::floor(std::min(py, ny))) - pad;
        const int right = int(std::ceil(std::max(px, nx))) + pad;
        const int bottom = int(std::ceil(std::max(py, ny))) + pad;
        out.emplace_back(QPoint(left, top), QPoint(right, bottom));
        px = nx;
        py = ny;
    }
}

// Opacity of trail segment k (0 = next to the head): the trail dims with age
// but stays bright enough not to read as a dark smear over the wheel.
float trailAlpha(const Spark &s, int k, float fade)
{
    const float older = float(k + 1) / float(s.trailCount + 1);
    return std::clamp(fade * (1.0f - 0.75f * older), 0.0f, 1.0f);
}

// Dimmer trail segments are left out of the window shape: on black they
// would show as dark lines.
constexpr float kMaskAlpha = 0.45f;

} // namespace

const QImage &FireworksPainter::glow(QRgb color, int radius)
{
    const quint64 key = (quint64(color) << 16) | quint64(radius);
    auto it = m_glows.constFind(key);
    if (it != m_glows.constEnd())
        return *it;
    QImage image(2 * radius, 2 * radius, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor tint(color);
    QRadialGradient gradient(QPointF(radius, radius), radius);
    // A white-hot centre in the spark's colour, a soft halo around it.
    gradient.setColorAt(0.0, QColor(255, 255, 255));
    gradient.setColorAt(0.22, QColor((tint.red() + 255) / 2, (tint.green() + 255) / 2, (tint.blue() + 255) / 2));
    gradient.setColorAt(0.4, QColor(tint.red(), tint.green(), tint.blue(), 150));
    gradient.setColorAt(1.0, QColor(tint.red(), tint.green(), tint.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawEllipse(QRectF(0, 0, 2 * radius, 2 * radius));
    p.end();
    return *m_glows.insert(key, image);
}

// Trails are thin cosmetic lines, which the raster engine draws many times
// faster than wide stroked ones; bigger sparks get a second line beside the
// first for a 2-pixel trail.
void FireworksPainter::paintTrail(QPainter &painter, const Spark &s, float fade)
{
    if (s.trailCount == 0)
        return;
    QPen pen(QColor(s.color), 1.0, Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(true);
    const bool wide = s.size >= 1.8f;
    QPointF from(s.x, s.y);
    for (int k = 0; k < s.trailCount; ++k) {
        const QPointF to(s.trailX[size_t(k)], s.trailY[size_t(k)]);
        QColor c(s.color);
        c.setAlphaF(trailAlpha(s, k, fade));
        pen.setColor(c);
        painter.setPen(pen);
        painter.drawLine(from, to);
        if (wide && k < s.trailCount / 2 + 1) {
            const QPointF d = to - from;
            const QPointF side = std::fabs(d.y()) > std::fabs(d.x()) ? QPointF(1, 0) : QPointF(0, 1);
            painter.drawLine(from + side, to + side);
        }
        from = to;
    }
}

void FireworksPainter::paint(QPainter &painter, const Fireworks &show)
{
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const Spark &s : show.sparks()) {
        const float fade = s.fade() * twinkle(s);
        if (fade <= 0.01f)
            continue;
        if (s.role == Spark::Role::Glitter) {
            // Glitter is too small for a soft sprite: a dot with a faint
            // cross is as bright and much cheaper, and there are many.
            QColor c(s.color);
            c.setAlphaF(fade);
            const float d = std::max(1.5f, s.size * 1.4f);
            painter.fillRect(QRectF(s.x - d / 2, s.y - d / 2, d, d), c);
            c.setAlphaF(fade * 0.35f);
            painter.fillRect(QRectF(s.x - d * 1.5f, s.y - 0.5f, d * 3, 1), c);
            painter.fillRect(QRectF(s.x - 0.5f, s.y - d * 1.5f, 1, d * 3), c);
            continue;
        }
        paintTrail(painter, s, fade);
        const int r = glowRadius(s);
        painter.setOpacity(fade);
        painter.drawImage(QPointF(s.x - float(r), s.y - float(r)), glow(s.color, r));
        painter.setOpacity(1.0);
    }
    painter.restore();
}

std::vector<QRect> FireworksPainter::coverageRects(const Fireworks &show)
{
    const QRect screen(QPoint(0, 0), show.area());
    std::vector<QRect> rects;
    rects.reserve(show.sparks().size() * 4);
    for (const Spark &s : show.sparks()) {
        const float fade = s.fade() * twinkle(s);
        if (fade < kMaskAlpha)
            continue;
        // The faint outer glow is left out: on black it would show as a box.
        const int r = std::max(2, glowRadius(s) * 3 / 5);
        rects.emplace_back(int(s.x) - r, int(s.y) - r, 2 * r, 2 * r);
        const int pad = 1;
        float fromX = s.x, fromY = s.y;
        for (int k = 0; k < s.trailCount && trailAlpha(s, k, fade) >= kMaskAlpha; ++k) {
            addSegmentRects(rects, fromX, fromY, s.trailX[size_t(k)], s.trailY[size_t(k)], pad);
            fromX = s.trailX[size_t(k)];
            fromY = s.trailY[size_t(k)];
        }
    }
    auto outside = std::remove_if(rects.begin(), rects.end(), [&](QRect &r) {
        r = r.intersected(screen);
        return r.isEmpty();
    });
    rects.erase(outside, rects.end());
    return rects;
}

QRegion FireworksPainter::coverage(const Fireworks &show)
{
    return uniteBalanced(coverageRects(show));
}

QRegion FireworksPainter::uniteBalanced(const std::vector<QRect> &rects)
{
    if (rects.empty())
        return {};
    std::vector<QRegion> level;
    level.reserve(rects.size() / 2 + 1);
    for (size_t i = 0; i < rects.size(); i += 2)
        level.push_back(i + 1 < rects.size() ? QRegion(rects[i]).united(rects[i + 1]) : QRegion(rects[i]));
    while (level.size() > 1) {
        size_t out = 0;
        for (size_t i = 0; i < level.size(); i += 2)
            level[out++] = i + 1 < level.size() ? level[i].united(level[i + 1]) : level[i];
        level.resize(out);
    }
    return level.front();
}
