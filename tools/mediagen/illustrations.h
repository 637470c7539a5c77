#pragma once

#include <QPainter>
#include <QRectF>

namespace mediagen {

// Simple prize illustrations drawn from vector shapes. Each fills a square
// area; they are drawn on the red banners, so each brings its own light
// colours and dark outline.

void drawMug(QPainter &p, const QRectF &area);
void drawTeddyBear(QPainter &p, const QRectF &area);
void drawGiftBox(QPainter &p, const QRectF &area);
void drawLuckyStar(QPainter &p, const QRectF &area);

} // namespace mediagen
