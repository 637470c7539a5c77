#pragma once

#include "fireworks.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QRegion>

#include <vector>

class QPainter;

// Draws a fireworks show and works out the part of the screen it covers.
// Sparks are added onto what is below (CompositionMode_Plus), so the same
// drawing works on a transparent surface and on black.
class FireworksPainter
{
public:
    void paint(QPainter &painter, const Fireworks &show);

    // Small rectangles over every head and trail, clipped to the show's area.
    static std::vector<QRect> coverageRects(const Fireworks &show);
    // The union of coverageRects: the window shape when nothing composites
    // the screen. Empty when no spark lives.
    static QRegion coverage(const Fireworks &show);
    // Unites rectangles pairwise, level by level, so that each union works on
    // regions of similar size; one long chain of unions costs far more.
    static QRegion uniteBalanced(const std::vector<QRect> &rects);

private:
    const QImage &glow(QRgb color, int radius);
    void paintTrail(QPainter &painter, const Spark &spark, float fade);

    QHash<quint64, QImage> m_glows; // colour and radius -> soft round sprite
};
