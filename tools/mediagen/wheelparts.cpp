#include "wheelparts.h"

#include "mediakit.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace mediagen {

namespace {

QRectF circleRect(double radius)
{
    const QPointF c = wheelCentre();
    return {c.x() - radius, c.y() - radius, 2 * radius, 2 * radius};
}

} // namespace

void fillOutside(QPainter &p, const QColor &colour)
{
    p.fillRect(QRectF(0, 0, kDesignSize, kDesignSize), colour);
}

void paintSectors(QPainter &p, const SectorColours &colours, double inner, double outer,
                  double tint)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const QColor base = colours[slot - 1];
        QRadialGradient g(wheelCentre(), outer);
        g.setColorAt(0.0, base.lighter(int(100 + tint)));
        g.setColorAt(0.55, base);
        g.setColorAt(1.0, base.darker(115));
        p.setBrush(g);
        // A hair of overlap hides the anti-aliased seam between sectors.
        p.drawPath(sectorPath(inner, outer, sectorStart(slot) - 0.3, sectorSpan(slot) + 0.6));
    }
    p.restore();
}

void paintSeparators(QPainter &p, const QColor &colour, double width, double inner,
                     double outer)
{
    p.save();
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const double a = sectorStart(slot);
        p.drawLine(polar(inner, a), polar(outer, a));
    }
    p.restore();
}

void paintRim(QPainter &p, const QColor &light, const QColor &dark, double inner,
              double outer)
{
    p.save();
    QRadialGradient g(wheelCentre(), outer);
    const double f = inner / outer;
    g.setColorAt(f, dark);
    g.setColorAt(f + (1 - f) * 0.35, light);
    g.setColorAt(f + (1 - f) * 0.7, light.darker(125));
    g.setColorAt(1.0, dark);
    QPainterPath ring;
    ring.addEllipse(circleRect(outer));
    ring.addEllipse(circleRect(inner));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(ring);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark.darker(160), 1.2));
    p.drawEllipse(circleRect(inner));
    p.drawEllipse(circleRect(outer - 0.6));
    p.restore();
}

void paintBulbs(QPainter &p, int count, double radius, double size, const QColor &first,
                const QColor &second)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF c = polar(radius, 360.0 * i / count);
        const QColor lit = (i % 2 == 0) ? first : second;
        QRadialGradient glow(c, size * 1.6);
        glow.setColorAt(0.0, QColor(255, 255, 255, 150));
        glow.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(c, size * 1.6, size * 1.6);
        QRadialGradient bulb(c - QPointF(size * 0.3, size * 0.3), size);
        bulb.setColorAt(0.0, Qt::white);
        bulb.setColorAt(0.45, lit);
        bulb.setColorAt(1.0, lit.darker(140));
        p.setBrush(bulb);
        p.drawEllipse(c, size, size);
    }
    p.restore();
}

void paintHub(QPainter &p, double radius, const QColor &light, const QColor &ring)
{
    p.save();
    const QPointF c = wheelCentre();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(c + QPointF(0, 3), radius + 6, radius + 6);
    QRadialGradient rg(c, radius + 6);
    rg.setColorAt(0.85, ring.lighter(130));
    rg.setColorAt(1.0, ring.darker(130));
    p.setBrush(rg);
    p.drawEllipse(c, radius + 6, radius + 6);
    QRadialGradient g(c - QPointF(radius * 0.3, radius * 0.35), radius * 1.4);
    g.setColorAt(0.0, Qt::white);
    g.setColorAt(0.35, light);
    g.setColorAt(1.0, light.darker(118));
    p.setBrush(g);
    p.drawEllipse(c, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1.5));
    p.drawEllipse(c, radius - 5, radius - 5);
    p.restore();
}

void paintBoundaryStars(QPainter &p, double radius, double size, const QColor &colour)
{
    p.save();
    p.setPen(QPen(colour.darker(170), 0.8));
    p.setBrush(colour);
    for (int slot = 1; slot <= kSlotCount; ++slot)
        p.drawPath(starPath(polar(radius, sectorStart(slot)), size, size * 0.45));
    p.restore();
}

void paintCards(QPainter &p, const SectorColours &colours)
{
    p.save();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        // The card frames its box by a few units on top and both sides.
        const QRectF card = slotBox(slot).adjusted(-4, -3, 3, 0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(card.translated(2, 3), 7, 7);
        QLinearGradient g(card.topLeft(), card.bottomLeft());
        g.setColorAt(0.0, colours[slot - 1].lighter(135));
        g.setColorAt(1.0, colours[slot - 1]);
        p.setBrush(g);
        p.setPen(QPen(Qt::white, 2.2));
        p.drawRoundedRect(card, 7, 7);
    }
    p.restore();
}

void paintRays(QPainter &p, const QColor &colour, int perSector, double inner,
               double outer)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const double step = sectorSpan(slot) / perSector;
        for (int i = 0; i < perSector; i += 2)
            p.drawPath(sectorPath(inner, outer, sectorStart(slot) + i * step, step));
    }
    p.restore();
}

} // namespace mediagen
