#include "fireworkspainter.h"

#include "sparkraster.h"

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

// Opacity of trail segment k (0 = next to the head): the trail dims with age
// but stays bright enough not to read as a dark smear over the wheel.
float trailAlpha(const Spark &s, int k, float fade)
{
    const float older = float(k + 1) / float(s.trailCount + 1);
    return std::clamp(fade * (1.0f - 0.75f * older), 0.0f, 1.0f);
}

using Style = FireworksPainter::Style;

// Solid drawing keeps a trail segment at full strength while the soft one
// would still be fairly bright, and drops it after: an ageing trail shortens.
constexpr float kSolidTrailCut = 0.4f;
// Below this a solid spark's brightest pixel falls under the alpha cut.
constexpr float kSolidMinFade = float(FireworksPainter::kSolidAlphaCut) / 255.0f - 0.02f;

bool drawn(float fade, Style style)
{
    return fade > (style == Style::Solid ? kSolidMinFade : 0.01f);
}

int drawnSegments(const Spark &s, float fade, Style style)
{
    if (style == Style::Soft)
        return s.trailCount;
    int k = 0;
    while (k < s.trailCount && trailAlpha(s, k, fade) >= kSolidTrailCut)
        ++k;
    return k;
}

bool wideSegment(const Spark &s, int k, Style style)
{
    return (style == Style::Solid || s.size >= 1.8f) && k < s.trailCount / 2 + 1;
}

float glitterSize(const Spark &s)
{
    return std::max(1.5f, s.size * 1.4f);
}

// Integer box around a span of floating-point coordinates, with a margin for
// anti-aliasing, rounding and the second line of wide trails.
QRect boxAround(float left, float top, float right, float bottom)
{
    constexpr int kMargin = 2;
    return QRect(QPoint(int(std::floor(left)) - kMargin, int(std::floor(top)) - kMargin),
                 QPoint(int(std::ceil(right)) + kMargin, int(std::ceil(bottom)) + kMargin));
}

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
// faster than wide stroked ones; a second line beside the first makes the
// newer half of a trail 2 pixels wide.
void FireworksPainter::paintTrail(QPainter &painter, const Spark &s, float fade, Style style)
{
    const int segments = drawnSegments(s, fade, style);
    if (segments == 0)
        return;
    QPen pen(QColor(s.color), 1.0, Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(true);
    QPointF from(s.x, s.y);
    for (int k = 0; k < segments; ++k) {
        const QPointF to(s.trailX[size_t(k)], s.trailY[size_t(k)]);
        QColor c(s.color);
        c.setAlphaF(style == Style::Solid ? 1.0f : trailAlpha(s, k, fade));
        pen.setColor(c);
        painter.setPen(pen);
        painter.drawLine(from, to);
        if (wideSegment(s, k, style)) {
            const QPointF d = to - from;
            const QPointF side = std::fabs(d.y()) > std::fabs(d.x()) ? QPointF(1, 0) : QPointF(0, 1);
            painter.drawLine(from + side, to + side);
        }
        from = to;
    }
}

// Glitter is too small for a soft sprite: a dot with a cross is as bright
// and much cheaper, and there are many. The soft cross is faint; a solid one
// would be cut away if it were, so it is drawn as strong as the dot.
void FireworksPainter::paintGlitter(QPainter &painter, const Spark &s, float fade, Style style)
{
    QColor c(s.color);
    c.setAlphaF(fade);
    const float d = glitterSize(s);
    painter.fillRect(QRectF(s.x - d / 2, s.y - d / 2, d, d), c);
    c.setAlphaF(style == Style::Solid ? fade : fade * 0.35f);
    painter.fillRect(QRectF(s.x - d * 1.5f, s.y - 0.5f, d * 3, 1), c);
    painter.fillRect(QRectF(s.x - 0.5f, s.y - d * 1.5f, 1, d * 3), c);
}

// The soft drawing, added straight into the image: the same sparks, trails
// and sprites, several times faster.
void FireworksPainter::paintDirect(QPainter &painter, const Fireworks &show)
{
    SparkRaster raster(painter);
    for (const Spark &s : show.sparks()) {
        const float fade = s.fade() * twinkle(s);
        if (!drawn(fade, Style::Soft))
            continue;
        if (s.role == Spark::Role::Glitter) {
            const float d = glitterSize(s);
            raster.rect(QRectF(s.x - d / 2, s.y - d / 2, d, d), premultipliedAt(s.color, fade));
            const QRgb faint = premultipliedAt(s.color, fade * 0.35f);
            raster.rect(QRectF(s.x - d * 1.5f, s.y - 0.5f, d * 3, 1), faint);
            raster.rect(QRectF(s.x - 0.5f, s.y - d * 1.5f, 1, d * 3), faint);
            continue;
        }
        QPointF from(s.x, s.y);
        for (int k = 0; k < s.trailCount; ++k) {
            const QPointF to(s.trailX[size_t(k)], s.trailY[size_t(k)]);
            raster.line(from, to, premultipliedAt(s.color, trailAlpha(s, k, fade)), wideSegment(s, k, Style::Soft));
            from = to;
        }
        const int r = glowRadius(s);
        const int deviceRadius = std::max(2, int(std::lround(double(r) * raster.scale())));
        raster.image(QPointF(s.x - float(r), s.y - float(r)), glow(s.color, deviceRadius), fade);
    }
}

void FireworksPainter::paint(QPainter &painter, const Fireworks &show, Style style)
{
    if (style == Style::Soft && SparkRaster::usable(painter)) {
        paintDirect(painter, show);
        return;
    }
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setRenderHint(QPainter::Antialiasing, style == Style::Soft);
    for (const Spark &s : show.sparks()) {
        const float fade = s.fade() * twinkle(s);
        if (!drawn(fade, style))
            continue;
        if (s.role == Spark::Role::Glitter) {
            paintGlitter(painter, s, fade, style);
            continue;
        }
        paintTrail(painter, s, fade, style);
        const int r = glowRadius(s);
        painter.setOpacity(fade);
        painter.drawImage(QPointF(s.x - float(r), s.y - float(r)), glow(s.color, r));
        painter.setOpacity(1.0);
    }
    painter.restore();
}

void FireworksPainter::paintedBoxes(const Fireworks &show, Style style, std::vector<QRect> &out)
{
    const QRect screen(QPoint(0, 0), show.area());
    const size_t first = out.size();
    for (const Spark &s : show.sparks()) {
        const float fade = s.fade() * twinkle(s);
        if (!drawn(fade, style))
            continue;
        if (s.role == Spark::Role::Glitter) {
            const float reach = glitterSize(s) * 1.5f;
            out.push_back(boxAround(s.x - reach, s.y - reach, s.x + reach, s.y + reach));
            continue;
        }
        const float r = float(glowRadius(s));
        out.push_back(boxAround(s.x - r, s.y - r, s.x + r, s.y + r));
        float fromX = s.x, fromY = s.y;
        for (int k = 0, n = drawnSegments(s, fade, style); k < n; ++k) {
            const float toX = s.trailX[size_t(k)], toY = s.trailY[size_t(k)];
            out.push_back(boxAround(std::min(fromX, toX), std::min(fromY, toY), std::max(fromX, toX), std::max(fromY, toY)));
            fromX = toX;
            fromY = toY;
        }
    }
    auto outside = std::remove_if(out.begin() + std::ptrdiff_t(first), out.end(), [&](QRect &r) {
        r = r.intersected(screen);
        return r.isEmpty();
    });
    out.erase(outside, out.end());
}
