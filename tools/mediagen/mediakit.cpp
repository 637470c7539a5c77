#include "mediakit.h"

#include <QImageWriter>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace mediagen {

namespace {

constexpr std::array<QPointF, kSlotCount> kSlotTopLeft = {
    QPointF(132, 69), QPointF(260, 55), QPointF(334, 172), QPointF(347, 268),
    QPointF(260, 366), QPointF(135, 379), QPointF(60, 264), QPointF(42, 172)};
constexpr double kBoxWidth = 106;
constexpr double kBoxHeight = 65;

int wrapSlot(int slot)
{
    return ((slot - 1) % kSlotCount + kSlotCount) % kSlotCount + 1;
}

double wrapAngle(double deg)
{
    const double a = std::fmod(deg, 360.0);
    return a < 0 ? a + 360.0 : a;
}

} // namespace

QPointF wheelCentre()
{
    return {kDesignSize / 2, kDesignSize / 2};
}

QRectF slotBox(int slot)
{
    return {kSlotTopLeft[wrapSlot(slot) - 1], QSizeF(kBoxWidth, kBoxHeight)};
}

QRectF captionBox()
{
    return {205, 192, 96, 112};
}

double slotAngle(int slot)
{
    const QPointF d = slotBox(slot).center() - wheelCentre();
    return wrapAngle(qRadiansToDegrees(std::atan2(d.x(), -d.y())));
}

namespace {

// Signed angular offset of a box corner from the box centre, in degrees.
double cornerOffset(QPointF corner, double centreAngle)
{
    const QPointF d = corner - wheelCentre();
    const double a = qRadiansToDegrees(std::atan2(d.x(), -d.y()));
    return wrapAngle(a - centreAngle + 180.0) - 180.0;
}

// The angles, as seen from the wheel centre, that a box spans.
std::pair<double, double> boxExtent(int slot)
{
    const QRectF box = slotBox(slot);
    const double centre = slotAngle(slot);
    double lo = 0, hi = 0;
    for (QPointF c : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        lo = std::min(lo, cornerOffset(c, centre));
        hi = std::max(hi, cornerOffset(c, centre));
    }
    return {wrapAngle(centre + lo), wrapAngle(centre + hi)};
}

} // namespace

// The boxes are not evenly spaced, so a sector boundary is put halfway across
// the angular gap between two neighbouring boxes: every box then lies inside
// its own sector with the widest margin the layout allows.
double sectorStart(int slot)
{
    const double prevEnd = boxExtent(slot - 1).second;
    const double gap = wrapAngle(boxExtent(slot).first - prevEnd);
    return wrapAngle(prevEnd + gap / 2);
}

bool boxInsideSector(int slot)
{
    const auto [first, last] = boxExtent(slot);
    const double start = sectorStart(slot);
    const double span = sectorSpan(slot);
    return wrapAngle(first - start) < span && wrapAngle(last - start) < span;
}

double sectorSpan(int slot)
{
    return wrapAngle(sectorStart(slot + 1) - sectorStart(slot));
}

QPointF polar(double radius, double angleDeg)
{
    const double a = qDegreesToRadians(angleDeg);
    return wheelCentre() + QPointF(radius * std::sin(a), -radius * std::cos(a));
}

QPainterPath sectorPath(double inner, double outer, double startDeg, double spanDeg)
{
    const QPointF c = wheelCentre();
    const QRectF outerRect(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerRect(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner);
    // QPainterPath angles run counter-clockwise from three o'clock.
    const double qtStart = 90.0 - startDeg;
    QPainterPath path;
    path.arcMoveTo(outerRect, qtStart);
    path.arcTo(outerRect, qtStart, -spanDeg);
    if (inner > 0)
        path.arcTo(innerRect, qtStart - spanDeg, spanDeg);
    else
        path.lineTo(c);
    path.closeSubpath();
    return path;
}

QPainterPath starPath(QPointF c, double outer, double inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = M_PI * i / points;
        const QPointF p = c + QPointF(r * std::sin(a), -r * std::cos(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QFont cjkFont(const QString &family, int pixelSize, int weight)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

bool saveJpeg(const QImage &image, const QString &path, int quality)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(true);
    return writer.write(image.convertToFormat(QImage::Format_RGB32));
}

bool savePng(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "png");
    return writer.write(image);
}

} // namespace mediagen
