#include "fireworksdamage.h"

#include <QPainter>

#include <algorithm>
#include <limits>

namespace {

qint64 areaOf(const QRect &r)
{
    return qint64(r.width()) * qint64(r.height());
}

} // namespace

FireworksDamage::FireworksDamage(QSize area)
    : m_area(area),
      m_columns((area.width() + kCell - 1) / kCell),
      m_rows((area.height() + kCell - 1) / kCell),
      m_previous(size_t(m_columns) * size_t(m_rows), 0),
      m_current(m_previous.size(), 0)
{
}

void FireworksDamage::advance(const Fireworks &show)
{
    markCells(show);
    buildRegion();
    gatherBands();
    mergePushes();
}

qint64 FireworksDamage::pushedPixels() const
{
    qint64 sum = 0;
    for (const QRect &r : m_pushes)
        sum += areaOf(r);
    return sum;
}

void FireworksDamage::markCells(const Fireworks &show)
{
    m_previous.swap(m_current);
    std::fill(m_current.begin(), m_current.end(), quint8(0));
    m_boxes.clear();
    FireworksPainter::paintedBoxes(show, FireworksPainter::Style::Soft, m_boxes);
    for (const QRect &box : m_boxes) {
        const int lastColumn = std::min(box.right() / kCell, m_columns - 1);
        const int lastRow = std::min(box.bottom() / kCell, m_rows - 1);
        for (int row = std::max(0, box.top() / kCell); row <= lastRow; ++row) {
            quint8 *cells = m_current.data() + size_t(row) * size_t(m_columns);
            std::fill(cells + std::max(0, box.left() / kCell), cells + lastColumn + 1, quint8(1));
        }
    }
}

QRect FireworksDamage::cellsToPixels(int left, int top, int right, int bottom) const
{
    return QRect(QPoint(left * kCell, top * kCell),
                 QPoint(std::min((right + 1) * kCell, m_area.width()) - 1,
                        std::min((bottom + 1) * kCell, m_area.height()) - 1));
}

// Runs of changed cells, one row of cells after the other: a list QRegion
// takes as it is (bands of equal height, sorted, no two touching sideways).
void FireworksDamage::buildRegion()
{
    m_rects.clear();
    for (int row = 0; row < m_rows; ++row) {
        const size_t first = size_t(row) * size_t(m_columns);
        for (int c = 0; c < m_columns;) {
            if (!(m_previous[first + size_t(c)] | m_current[first + size_t(c)])) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < m_columns && (m_previous[first + size_t(c)] | m_current[first + size_t(c)]))
                ++c;
            m_rects.push_back(cellsToPixels(start, row, c - 1, row));
        }
    }
    m_region.setRects(m_rects.data(), int(m_rects.size()));
}

// Each band of kBandCells rows of cells gives a rectangle per run of
// columns with a changed cell, cut down to the rows that hold one.
void FireworksDamage::gatherBands()
{
    m_pushes.clear();
    for (int top = 0; top < m_rows; top += kBandCells) {
        const int bottom = std::min(top + kBandCells, m_rows) - 1;
        auto changed = [&](int row, int column) {
            const size_t i = size_t(row) * size_t(m_columns) + size_t(column);
            return (m_previous[i] | m_current[i]) != 0;
        };
        auto columnChanged = [&](int column) {
            for (int row = top; row <= bottom; ++row) {
                if (changed(row, column))
                    return true;
            }
            return false;
        };
        for (int c = 0; c < m_columns;) {
            if (!columnChanged(c)) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < m_columns && columnChanged(c))
                ++c;
            int first = bottom, last = top;
            for (int row = top; row <= bottom; ++row) {
                for (int column = start; column < c; ++column) {
                    if (changed(row, column)) {
                        first = std::min(first, row);
                        last = std::max(last, row);
                        break;
                    }
                }
            }
            m_pushes.push_back(cellsToPixels(start, first, c - 1, last));
        }
    }
}

qint64 FireworksDamage::joinCost(size_t a, size_t b) const
{
    return areaOf(m_pushes[a].united(m_pushes[b])) - areaOf(m_pushes[a]) - areaOf(m_pushes[b]);
}

void FireworksDamage::findPartner(size_t a)
{
    m_partners[a] = {std::numeric_limits<qint64>::max(), a};
    for (size_t b = 0; b < m_pushes.size(); ++b) {
        if (b != a && joinCost(a, b) < m_partners[a].cost)
            m_partners[a] = {joinCost(a, b), b};
    }
}

// Joins the two pushes whose joint bounding box adds the fewest pixels,
// until there are few enough and no join would save pixels. Each push keeps
// its best partner, so that a join costs one pass over the others.
void FireworksDamage::mergePushes()
{
    m_partners.resize(m_pushes.size());
    for (size_t a = 0; a < m_pushes.size(); ++a)
        findPartner(a);
    while (m_pushes.size() > 1) {
        size_t a = 0;
        for (size_t i = 1; i < m_pushes.size(); ++i) {
            if (m_partners[i].cost < m_partners[a].cost)
                a = i;
        }
        if (m_pushes.size() <= size_t(kMaxPushes) && m_partners[a].cost > 0)
            break;
        const size_t b = m_partners[a].with;
        m_pushes[a] = m_pushes[a].united(m_pushes[b]);
        m_stale.assign(m_pushes.size(), 0);
        for (size_t i = 0; i < m_pushes.size(); ++i)
            m_stale[i] = m_partners[i].with == a || m_partners[i].with == b;
        // b's place goes to the last push.
        const size_t last = m_pushes.size() - 1;
        m_pushes[b] = m_pushes[last];
        m_partners[b] = m_partners[last];
        m_stale[b] = m_stale[last];
        m_pushes.pop_back();
        m_partners.pop_back();
        const size_t joined = a == last ? b : a;
        for (size_t i = 0; i < m_pushes.size(); ++i) {
            if (m_partners[i].with == last)
                m_partners[i].with = b;
        }
        for (size_t i = 0; i < m_pushes.size(); ++i) {
            if (i == joined || m_stale[i])
                findPartner(i);
            else if (joinCost(i, joined) < m_partners[i].cost)
                m_partners[i] = {joinCost(i, joined), joined};
        }
    }
}

void FireworksDamage::paint(QPainter &painter, const Fireworks &show, FireworksPainter &sparks) const
{
    if (m_region.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect &r : m_region)
        painter.fillRect(r, Qt::transparent);
    sparks.paint(painter, show);
    painter.restore();
}
