#include "wheelgeometry.h"

#include <cmath>

WheelGeometry WheelGeometry::design()
{
    WheelGeometry g;
    g.frame = QSize(500, 500);
    g.face = QSize(500, 500);
    g.startLabel = QRect(205, 192, 96, 112);
    g.stopLabel = QRect(205, 192, 96, 112);
    g.startFontSize = 30;
    g.stopFontSize = 30;
    g.slots = {QRect(132, 69, 106, 65), QRect(260, 55, 106, 65), QRect(334, 172, 106, 65),
               QRect(347, 268, 106, 65), QRect(260, 366, 106, 65), QRect(135, 379, 106, 65),
               QRect(60, 264, 106, 65),  QRect(42, 172, 106, 65)};
    return g;
}

namespace wheel {

// Each step truncates, so n steps differ from one multiplication by 1.1^n;
// the result must match the wheel the operator has always seen at each size.
int scaleStep(int value)
{
    const double scaled = std::trunc(double(value) * kEnlargeFactor);
    if (scaled > kMaxExtent)
        return kMaxExtent;
    if (scaled < -kMaxExtent)
        return -kMaxExtent;
    return int(scaled);
}

static QSize scaled(QSize s)
{
    return QSize(scaleStep(s.width()), scaleStep(s.height()));
}

static QRect scaled(const QRect &r)
{
    return QRect(scaleStep(r.x()), scaleStep(r.y()), scaleStep(r.width()), scaleStep(r.height()));
}

// Every property is scaled from its own old value, so the order in which the
// window applies them does not change the numbers.
WheelGeometry enlargeStep(const WheelGeometry &g)
{
    WheelGeometry next = g;
    next.frame = scaled(g.frame);
    next.face = scaled(g.face);
    next.startLabel = scaled(g.startLabel);
    next.stopLabel = scaled(g.stopLabel);
    next.startFontSize = scaleStep(g.startFontSize);
    next.stopFontSize = scaleStep(g.stopFontSize);
    for (std::size_t i = 0; i < g.slots.size(); ++i)
        next.slots[i] = scaled(g.slots[i]);
    return next;
}

// Growth by 10 % reaches the saturation limit within a few hundred steps,
// after which every further step is the identity: an absurd count such as
// 10^9 ends as soon as nothing changes.
WheelGeometry enlarge(const WheelGeometry &g, long long n)
{
    WheelGeometry current = g;
    for (long long step = 0; step < n; ++step) {
        const WheelGeometry next = enlargeStep(current);
        if (next == current)
            break;
        current = next;
    }
    return current;
}

} // namespace wheel
