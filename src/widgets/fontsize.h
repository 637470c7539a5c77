#pragma once

#include <QFont>

// Font sizes of the windows. The layouts were drawn on 96-dpi screens, where
// a point is 4/3 of a pixel; every font is set in pixels at that ratio, so a
// caption covers the same pixels on every screen and its wheel position and
// height keep fitting it. Sizes the operator sees and stores (the title
// fonts) stay in points.
namespace fontsize {

// The pixel size of a point size at 96 dpi, rounded to the nearest pixel:
// 50 pt gives 67 px, 30 pt gives 40 px.
inline int pixelsForPoints(int points)
{
    return points >= 0 ? (points * 4 + 1) / 3 : -((-points * 4 + 1) / 3);
}

// The point size a font stands for. A pixel size maps back to the point size
// it was made from, so points -> pixels -> points is exact.
inline int points(const QFont &font)
{
    const int pixels = font.pixelSize();
    if (pixels <= 0)
        return font.pointSize();
    return (pixels * 3 + 2) / 4;
}

// Sets a font's size from points, as pixels at 96 dpi.
inline void setPoints(QFont &font, int points)
{
    font.setPixelSize(qMax(1, pixelsForPoints(points)));
}

// The same font with its size given in points, for the font dialog, which
// lists sizes in points.
inline QFont inPoints(const QFont &font)
{
    QFont result = font;
    const int pt = points(font);
    if (pt > 0)
        result.setPointSize(pt);
    return result;
}

// The same font with its size in pixels at 96 dpi. The program lays its
// windows out in the screen's pixels at every scale; a default font left in
// points would grow with the screen's resolution (at 175 % a 9 pt caption
// takes 21 px instead of 12) and overflow the controls drawn for it.
inline QFont inDesignPixels(const QFont &font)
{
    if (font.pixelSize() > 0 || font.pointSizeF() <= 0)
        return font;
    QFont result = font;
    result.setPixelSize(qMax(1, qRound(font.pointSizeF() * 4 / 3)));
    return result;
}

} // namespace fontsize
