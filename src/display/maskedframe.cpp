#include "maskedframe.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

MaskedFrame::MaskedFrame(QSize area)
    : m_area(area),
      m_columns((area.width() + kCell - 1) / kCell),
      m_rows((area.height() + kCell - 1) / kCell),
      m_drawn(area, QImage::Format_ARGB32_Premultiplied),
      m_opaque(area, QImage::Format_RGB32),
      m_marked(size_t(m_columns) * size_t(m_rows), 0)
{
    m_drawn.fill(Qt::transparent);
    m_opaque.fill(Qt::black);
}

void MaskedFrame::render(const Fireworks &show, FireworksPainter &painter)
{
    markCells(show);
    collectSpans();
    clearSpans();
    {
        QPainter p(&m_drawn);
        painter.paint(p, show, FireworksPainter::Style::Solid);
    }
    scanSpans();
    fitRectangleLimit();
    m_shape.setRects(m_rects.data(), int(m_rects.size()));
    m_cells.clear();
    for (const Span &s : m_spans)
        m_cells.emplace_back(QPoint(s.left * kCell, s.top), QPoint(std::min(s.right * kCell, m_area.width()) - 1, s.bottom));
    m_touched.setRects(m_cells.data(), int(m_cells.size()));
}

// Every pixel the painter touches lies in a marked cell, so cells left
// unmarked need neither clearing nor scanning.
void MaskedFrame::markCells(const Fireworks &show)
{
    std::fill(m_marked.begin(), m_marked.end(), quint8(0));
    m_boxes.clear();
    FireworksPainter::paintedBoxes(show, FireworksPainter::Style::Solid, m_boxes);
    for (const QRect &box : m_boxes) {
        const int lastColumn = std::min(box.right() / kCell, m_columns - 1);
        const int lastRow = std::min(box.bottom() / kCell, m_rows - 1);
        for (int row = std::max(0, box.top() / kCell); row <= lastRow; ++row) {
            quint8 *cells = m_marked.data() + size_t(row) * size_t(m_columns);
            std::fill(cells + std::max(0, box.left() / kCell), cells + lastColumn + 1, quint8(1));
        }
    }
}

// Runs of marked cells, row of cells by row, left to right.
void MaskedFrame::collectSpans()
{
    m_spans.clear();
    for (int row = 0; row < m_rows; ++row) {
        const quint8 *cells = m_marked.data() + size_t(row) * size_t(m_columns);
        const int top = row * kCell, bottom = std::min(top + kCell, m_area.height()) - 1;
        for (int c = 0; c < m_columns;) {
            if (!cells[c]) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < m_columns && cells[c])
                ++c;
            m_spans.push_back({top, bottom, start, c});
        }
    }
}

void MaskedFrame::clearSpans()
{
    for (const Span &s : m_spans) {
        const int left = s.left * kCell, right = std::min(s.right * kCell, m_area.width());
        for (int y = s.top; y <= s.bottom; ++y)
            std::memset(reinterpret_cast<QRgb *>(m_drawn.scanLine(y)) + left, 0, size_t(right - left) * sizeof(QRgb));
    }
}

void MaskedFrame::scanSpans()
{
    m_rects.clear();
    m_bandStart = m_rowStart = 0;
    for (size_t first = 0; first < m_spans.size();) {
        size_t last = first;
        while (last < m_spans.size() && m_spans[last].top == m_spans[first].top)
            ++last;
        for (int y = m_spans[first].top; y <= m_spans[first].bottom; ++y) {
            for (size_t i = first; i < last; ++i)
                scanRow(y, m_spans[i]);
            closeRow(y);
        }
        first = last;
    }
}

// Appends the runs of kept pixels in one row of a span as 1-pixel-high
// rectangles and writes those pixels, opaque, into the shown image.
void MaskedFrame::scanRow(int y, const Span &span)
{
    constexpr int kCut = FireworksPainter::kSolidAlphaCut;
    const QRgb *from = reinterpret_cast<const QRgb *>(m_drawn.constScanLine(y));
    QRgb *to = reinterpret_cast<QRgb *>(m_opaque.scanLine(y));
    const int end = std::min(span.right * kCell, m_area.width());
    for (int x = span.left * kCell; x < end;) {
        if (qAlpha(from[x]) < kCut) {
            ++x;
            continue;
        }
        const int start = x;
        for (; x < end && qAlpha(from[x]) >= kCut; ++x)
            to[x] = qUnpremultiply(from[x]) | 0xff000000u;
        m_rects.emplace_back(start, y, x - start, 1);
    }
}

// A row with the same runs as the band above it (ending on the row before)
// makes that band one row taller, as QRegion keeps its rectangles: bands of
// equal height per top edge, sorted, none touching its neighbour sideways.
void MaskedFrame::closeRow(int y)
{
    const size_t count = m_rects.size() - m_rowStart;
    const size_t above = m_rowStart - m_bandStart;
    bool same = count > 0 && count == above && m_rects[m_bandStart].bottom() == y - 1;
    for (size_t i = 0; same && i < count; ++i) {
        const QRect &a = m_rects[m_bandStart + i], &b = m_rects[m_rowStart + i];
        same = a.left() == b.left() && a.right() == b.right();
    }
    if (same) {
        for (size_t i = m_bandStart; i < m_rowStart; ++i)
            m_rects[i].setBottom(y);
        m_rects.resize(m_rowStart);
        return;
    }
    m_bandStart = count > 0 ? m_rowStart : m_rects.size();
    m_rowStart = m_rects.size();
}

// Drops the rectangles of the smallest area, a size class at a time, until
// the shape fits. Taking rectangles out of a banded list keeps it sorted and
// free of overlaps, which is all QRegion::setRects() asks.
void MaskedFrame::fitRectangleLimit()
{
    if (m_rectangleLimit == 0)
        return;
    for (int area = 1; m_rects.size() > m_rectangleLimit; ++area) {
        m_rects.erase(std::remove_if(m_rects.begin(), m_rects.end(),
                                     [area](const QRect &r) { return r.width() * r.height() <= area; }),
                      m_rects.end());
    }
}
