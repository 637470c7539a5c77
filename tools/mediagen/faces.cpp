// The four wheel faces. Each is a round wheel filling a 914-pixel square:
// eight sectors lying under the prize boxes, a light centre disc under the
// start/stop caption and a lit rim. Face 1 also carries a coloured card under
// every prize box.
#include "generators.h"
#include "mediakit.h"
#include "wheelparts.h"

#include <QDir>
#include <QPainter>
#include <QRadialGradient>

#include <functional>

namespace mediagen {

namespace {

constexpr double kRimInner = 231;
constexpr double kRimOuter = 250;
constexpr double kHubRadius = 75;
constexpr double kBulbRadius = 240.5;

QColor rgb(unsigned value)
{
    return QColor::fromRgb(value);
}

// A soft highlight from the upper left makes the flat wheel read as a disc.
void paintGloss(QPainter &p)
{
    p.save();
    QRadialGradient g(QPointF(170, 150), 260);
    g.setColorAt(0.0, QColor(255, 255, 255, 45));
    g.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(wheelCentre(), kRimInner, kRimInner);
    p.restore();
}

void paintCandyStripes(QPainter &p, const QColor &colour, int count)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const double step = 360.0 / count;
    for (int i = 0; i < count; ++i)
        p.drawPath(sectorPath(kRimInner + 2, kRimOuter - 2, i * step, step / 2));
    p.restore();
}

// Rings of dots over the sectors, skipping the hub.
void paintPolkaDots(QPainter &p, const QColor &colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    int ring = 0;
    for (double r = 95; r < kRimInner - 8; r += 22, ++ring) {
        const int count = int(r / 6);
        const double offset = (ring % 2) * 180.0 / count;
        for (int i = 0; i < count; ++i)
            p.drawEllipse(polar(r, offset + 360.0 * i / count), 2.6, 2.6);
    }
    p.restore();
}

void paintCarnival(QPainter &p)
{
    fillOutside(p, rgb(0x160a22));
    paintSectors(p, {rgb(0xd0112b), rgb(0x8c0a1e), rgb(0xd0112b), rgb(0x8c0a1e),
                     rgb(0xd0112b), rgb(0x8c0a1e), rgb(0xd0112b), rgb(0x8c0a1e)},
                 0, kRimInner, 35);
    paintRays(p, QColor(255, 215, 90, 28), 8, kHubRadius, kRimInner);
    paintSeparators(p, rgb(0xffd54f), 3, kHubRadius, kRimInner);
    paintBoundaryStars(p, 217, 7, rgb(0xffe082));
    paintCards(p, {rgb(0x1e88e5), rgb(0x43a047), rgb(0x8e24aa), rgb(0xfb8c00),
                   rgb(0x00acc1), rgb(0xe91e63), rgb(0x3949ab), rgb(0x7cb342)});
    paintRim(p, rgb(0xffd54f), rgb(0x8d5f00), kRimInner, kRimOuter);
    paintBulbs(p, 32, kBulbRadius, 4.2, rgb(0xfffde7), rgb(0xffeb3b));
    paintHub(p, kHubRadius, rgb(0xffe9a8), rgb(0xd4a017));
}

void paintRainbow(QPainter &p)
{
    fillOutside(p, rgb(0x0d1b2a));
    paintSectors(p, {rgb(0xe53935), rgb(0xfb8c00), rgb(0xfdd835), rgb(0x43a047),
                     rgb(0x00897b), rgb(0x1e88e5), rgb(0x5e35b1), rgb(0xd81b60)},
                 0, kRimInner, 45);
    paintRays(p, QColor(255, 255, 255, 30), 12, kHubRadius, kRimInner);
    paintGloss(p);
    paintSeparators(p, Qt::white, 3.5, kHubRadius, kRimInner);
    paintBoundaryStars(p, 217, 6.5, Qt::white);
    paintRim(p, rgb(0xffffff), rgb(0x8a96a3), kRimInner, kRimOuter);
    paintBulbs(p, 32, kBulbRadius, 4.2, rgb(0xff5252), rgb(0x448aff));
    paintHub(p, kHubRadius, rgb(0xfff3c4), rgb(0xf9a825));
}

void paintRoyal(QPainter &p)
{
    fillOutside(p, rgb(0x0a0a23));
    paintSectors(p, {rgb(0x283593), rgb(0x5e1a9c), rgb(0x283593), rgb(0x5e1a9c),
                     rgb(0x283593), rgb(0x5e1a9c), rgb(0x283593), rgb(0x5e1a9c)},
                 0, kRimInner, 60);
    paintRays(p, QColor(150, 170, 255, 34), 10, kHubRadius, kRimInner);
    paintGloss(p);
    paintSeparators(p, rgb(0xffc940), 3, kHubRadius, kRimInner);
    paintBoundaryStars(p, 212, 9, rgb(0xffd54f));
    paintRim(p, rgb(0xffe082), rgb(0x7a5200), kRimInner, kRimOuter);
    paintBulbs(p, 40, kBulbRadius, 3.6, rgb(0xfff8e1), rgb(0xffb300));
    paintHub(p, kHubRadius, rgb(0xffe49a), rgb(0xb8860b));
}

void paintCandy(QPainter &p)
{
    fillOutside(p, rgb(0x1b0b2e));
    paintSectors(p, {rgb(0xff3d7f), rgb(0x00a8f0), rgb(0xff3d7f), rgb(0x00a8f0),
                     rgb(0xff3d7f), rgb(0x00a8f0), rgb(0xff3d7f), rgb(0x00a8f0)},
                 0, kRimInner, 40);
    paintPolkaDots(p, QColor(255, 255, 255, 120));
    paintGloss(p);
    paintSeparators(p, rgb(0xfff59d), 4, kHubRadius, kRimInner);
    paintBoundaryStars(p, 215, 8, rgb(0xfff176));
    paintRim(p, rgb(0xff1744), rgb(0x8e0022), kRimInner, kRimOuter);
    paintCandyStripes(p, QColor(255, 255, 255, 235), 36);
    paintHub(p, kHubRadius, rgb(0xfff7b0), rgb(0xff3d7f));
}

QImage renderFace(const std::function<void(QPainter &)> &paint)
{
    QImage image(kFacePixels, kFacePixels, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kFacePixels / kDesignSize, kFacePixels / kDesignSize);
    paint(p);
    p.end();
    return image;
}

} // namespace

bool writeFaces(const QString &dir)
{
    const std::function<void(QPainter &)> designs[] = {paintCarnival, paintRainbow,
                                                       paintRoyal, paintCandy};
    // Guards the sector maths: a box straddling two sectors would look wrong.
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!boxInsideSector(slot))
            return false;
    }
    bool ok = true;
    int index = 1;
    for (const auto &design : designs) {
        const QString name = QStringLiteral("face%1.jpg").arg(index++);
        ok = saveJpeg(renderFace(design), QDir(dir).filePath(name)) && ok;
    }
    return ok;
}

} // namespace mediagen
