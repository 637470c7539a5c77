#pragma once

#include "fireworks.h"
#include "fireworkspainter.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <vector>

// One frame of a fireworks show for a window that nothing composites: the
// window is opaque and cut to a shape, so the shape must hold exactly the
// pixels the sparks cover, each in its own colour. A soft edge or a dim trail
// painted on black would show as a dark fringe over whatever is below.
//
// The show is drawn in the solid style into a transparent image, then one
// pass over the drawn pixels keeps those whose alpha reaches the cut, writes
// them opaque (colour without the alpha) into the image the window shows and
// gathers them, row by row, into the shape. Only the cells of a coarse grid
// that a spark touches are cleared and scanned.
class MaskedFrame
{
public:
    explicit MaskedFrame(QSize area);

    // The most rectangles shape() may hold (0: no limit). Over it, the
    // smallest pieces of the shape (single glitter pixels first) are left
    // out of that frame until it fits: a window system that takes a shape in
    // one request of limited size (Wine on X11) would otherwise fail.
    void setRectangleLimit(size_t limit) { m_rectangleLimit = limit; }

    void render(const Fireworks &show, FireworksPainter &painter);

    // The pixels the window shows; empty when no spark is drawn.
    const QRegion &shape() const { return m_shape; }
    // The image the window shows, opaque; valid everywhere inside shape().
    // Pixels that left the shape keep their last colour.
    const QImage &image() const { return m_opaque; }
    // The cells drawn in the last frame: the part of the window to repaint.
    const QRegion &touched() const { return m_touched; }

    static constexpr int kCell = 32; // px, the grid's cell edge

private:
    struct Span
    {
        int top, bottom; // rows of one band of cells, inclusive
        int left, right; // columns of a run of marked cells, right exclusive
    };

    void markCells(const Fireworks &show);
    void collectSpans();
    void clearSpans();
    void scanSpans();
    void scanRow(int y, const Span &span);
    void closeRow(int y);
    void fitRectangleLimit();

    QSize m_area;
    int m_columns, m_rows;
    QImage m_drawn;  // premultiplied, transparent where nothing is drawn
    QImage m_opaque; // what the window shows
    std::vector<quint8> m_marked;
    std::vector<QRect> m_boxes;
    std::vector<Span> m_spans;
    std::vector<QRect> m_rects; // the shape, one band of equal rows at a time
    std::vector<QRect> m_cells; // the touched cells, one span at a time
    size_t m_bandStart = 0;     // first rectangle of the band being built
    size_t m_rowStart = 0;      // first rectangle of the current row
    size_t m_rectangleLimit = 0;
    QRegion m_shape;
    QRegion m_touched;
};
