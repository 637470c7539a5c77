#pragma once

#include <QRect>
#include <QSize>
#include <array>

// The wheel assembly's sizes and positions, relative to their parents.
struct WheelGeometry
{
    QSize frame;               // 外形框1 (its own position is not part of it)
    QSize face;                // 图片框_背景, always at (0, 0)
    QRect startLabel;          // 透明标签_开始
    QRect stopLabel;           // 透明标签_结束
    int startFontSize = 30;    // points
    int stopFontSize = 30;
    std::array<QRect, 8> slots; // 图片框1 … 图片框8

    static WheelGeometry design();
    bool operator==(const WheelGeometry &) const = default;
};

namespace wheel {

// The single-precision 1.1, exactly.
inline constexpr double kEnlargeFactor = 1.10000002384185791015625;
// No extent grows past this: the largest a window system accepts.
inline constexpr int kMaxExtent = 16777215;

// trunc(value × kEnlargeFactor), saturating at ±kMaxExtent.
int scaleStep(int value);
// One enlargement step of every listed property.
WheelGeometry enlargeStep(const WheelGeometry &g);
// n steps (none for n <= 0); stops early once nothing changes any more.
WheelGeometry enlarge(const WheelGeometry &g, long long n);

} // namespace wheel
