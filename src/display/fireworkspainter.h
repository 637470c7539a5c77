#pragma once

#include "fireworks.h"

#include <QHash>
#include <QImage>
#include <QRect>

#include <vector>

class QPainter;

// Draws a fireworks show. Sparks are added onto what is below
// (CompositionMode_Plus), so the same drawing works on a transparent surface
// and on black.
class FireworksPainter
{
public:
    // Soft: smooth, with trails that dim along their length; for a surface
    // that a compositor blends over the screen.
    // Solid: for a window cut to the drawn pixels, where every pixel that
    // stays is shown at full strength and any dim one would read as a dark
    // fringe. Edges are hard, trails wider and never dimmed: an ageing trail
    // gets shorter instead, a fading head smaller.
    enum class Style { Soft, Solid };

    // In the Solid style a pixel with less alpha than this (of 255) counts as
    // not drawn; the rest are shown opaque in their own colour.
    static constexpr int kSolidAlphaCut = 96;

    void paint(QPainter &painter, const Fireworks &show, Style style = Style::Soft);

    // Rectangles, clipped to the show's area, that hold every pixel paint()
    // touches in that style. Appended to out.
    static void paintedBoxes(const Fireworks &show, Style style, std::vector<QRect> &out);

private:
    const QImage &glow(QRgb color, int radius);
    void paintDirect(QPainter &painter, const Fireworks &show);
    void paintTrail(QPainter &painter, const Spark &spark, float fade, Style style);
    void paintGlitter(QPainter &painter, const Spark &spark, float fade, Style style);

    QHash<quint64, QImage> m_glows; // colour and radius -> soft round sprite
};
