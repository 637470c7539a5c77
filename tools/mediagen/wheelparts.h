#pragma once

#include <QColor>
#include <QPainter>

#include <array>

namespace mediagen {

using SectorColours = std::array<QColor, 8>;

// Building blocks shared by the four wheel faces. All take design units
// (the 500 x 500 face) and expect the painter to be scaled already.

void fillOutside(QPainter &p, const QColor &colour);

// Fills the eight sectors between the radii, each with a radial gradient
// from a lighter tint at the hub to its colour at the rim.
void paintSectors(QPainter &p, const SectorColours &colours, double inner, double outer,
                  double tint);

// Thin lines along the sector boundaries.
void paintSeparators(QPainter &p, const QColor &colour, double width, double inner,
                     double outer);

// The outer ring: a band between the radii with a metallic gradient and a
// dark edge on both sides.
void paintRim(QPainter &p, const QColor &light, const QColor &dark, double inner,
              double outer);

// Evenly spaced light bulbs on a circle, alternating two colours.
void paintBulbs(QPainter &p, int count, double radius, double size, const QColor &first,
                const QColor &second);

// The centre disc under the start/stop caption: light and warm so that red
// text reads well on it.
void paintHub(QPainter &p, double radius, const QColor &light, const QColor &ring);

// Small stars on the sector boundaries near the rim, where no box covers them.
void paintBoundaryStars(QPainter &p, double radius, double size, const QColor &colour);

// Rounded cards under the eight prize boxes, slightly larger than the boxes.
void paintCards(QPainter &p, const SectorColours &colours);

// Faint rays inside every sector, from the hub towards the rim.
void paintRays(QPainter &p, const QColor &colour, int perSector, double inner,
               double outer);

} // namespace mediagen
