#pragma once

#include "fireworks.h"
#include "fireworkspainter.h"

#include <QRect>
#include <QRegion>
#include <QSize>

#include <vector>

class QPainter;

// What a translucent fireworks window redraws and sends to the screen for one
// frame. Outside the sparks the window is transparent in every frame, so
// only the pixels under the previous frame's sparks (to clear them) and under
// this frame's (to draw them) can change.
//
// region() is those sparks' boxes rounded out to a grid of small cells; it
// is what gets repainted. A window with per-pixel alpha on Windows takes each
// flush as one rectangle, the flushed region's bounding box
// (UpdateLayeredWindowIndirect with a dirty rectangle), and a show spreads
// over the whole screen. So the region is also gathered into a few
// rectangles, pushes(), each flushed on its own: few enough that the calls
// cost little, tight enough that far less than the screen is sent. A band of
// cell rows gives a rectangle per run of changed columns; the two whose
// joint bounding box adds the fewest pixels are joined until at most
// kMaxPushes are left and no join would send fewer pixels (a burst seen as a
// ring leaves its empty middle out).
class FireworksDamage
{
public:
    explicit FireworksDamage(QSize area);

    // Takes the show's current frame; region() and pushes() then describe
    // what differs from the frame given before (nothing, the first time).
    void advance(const Fireworks &show);

    // Every pixel that may differ between the two frames.
    const QRegion &region() const { return m_region; }
    // At most kMaxPushes rectangles that together hold region().
    const std::vector<QRect> &pushes() const { return m_pushes; }
    // The pixels the pushes send, overlaps counted twice.
    qint64 pushedPixels() const;

    // Brings a surface that shows the frame before up to the current one:
    // clears region() to transparent and draws the show's sparks inside it.
    void paint(QPainter &painter, const Fireworks &show, FireworksPainter &sparks) const;

    static constexpr int kCell = 16;      // px, edge of the region's cells
    static constexpr int kBandCells = 8;  // rows of cells per band of pushes
    // On a 4K screen 16 pushes send 10 to 25 % of it per frame on average,
    // depending on the show; a call costs little next to 8 MB of pixels.
    static constexpr int kMaxPushes = 16;

private:
    void markCells(const Fireworks &show);
    void buildRegion();
    void gatherBands();
    qint64 joinCost(size_t a, size_t b) const;
    void findPartner(size_t a);
    void mergePushes();
    QRect cellsToPixels(int left, int top, int right, int bottom) const;

    QSize m_area;
    int m_columns, m_rows;                // of cells
    std::vector<quint8> m_previous;       // cells under the last frame's sparks
    std::vector<quint8> m_current;        // cells under this frame's sparks
    struct Partner
    {
        qint64 cost; // pixels a join adds
        size_t with;
    };
    std::vector<Partner> m_partners; // each push's cheapest join
    std::vector<quint8> m_stale;
    std::vector<QRect> m_boxes;
    std::vector<QRect> m_rects;
    std::vector<QRect> m_pushes;
    QRegion m_region;
};
