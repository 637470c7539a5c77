// The four design prize pictures: red banners with a prize illustration on
// the left and the prize name in gold on the right. They are shown shrunk to
// 106 x 65 on the wheel, so the lettering is large and heavily outlined.
#include "generators.h"
#include "illustrations.h"
#include "mediakit.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace mediagen {

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 250;
const QPointF kArtCentre(118, 125);

using Illustration = void (*)(QPainter &, const QRectF &);

struct Banner
{
    const char *file;
    const char *caption;  // UTF-8
    Illustration art;
};

void paintBackground(QPainter &p)
{
    QRadialGradient g(kArtCentre, 380);
    g.setColorAt(0.0, QColor(240, 50, 45));
    g.setColorAt(0.6, QColor(190, 16, 24));
    g.setColorAt(1.0, QColor(120, 6, 14));
    p.fillRect(QRect(0, 0, kWidth, kHeight), g);
}

// Alternating light wedges fanning out from behind the illustration.
void paintBurst(QPainter &p)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 120, 34));
    const int wedges = 18;
    for (int i = 0; i < wedges; ++i) {
        const double a0 = 2 * M_PI * i / wedges;
        const double a1 = a0 + M_PI / wedges;
        QPainterPath wedge(kArtCentre);
        wedge.lineTo(kArtCentre + 400 * QPointF(std::cos(a0), std::sin(a0)));
        wedge.lineTo(kArtCentre + 400 * QPointF(std::cos(a1), std::sin(a1)));
        wedge.closeSubpath();
        p.drawPath(wedge);
    }
    QRadialGradient glow(kArtCentre, 105);
    glow.setColorAt(0.0, QColor(255, 240, 200, 150));
    glow.setColorAt(1.0, QColor(255, 240, 200, 0));
    p.setBrush(glow);
    p.drawEllipse(kArtCentre, 105, 105);
    p.restore();
}

void paintFrame(QPainter &p)
{
    p.save();
    QLinearGradient gold(0, 0, 0, kHeight);
    gold.setColorAt(0.0, QColor(255, 236, 140));
    gold.setColorAt(0.5, QColor(230, 170, 30));
    gold.setColorAt(1.0, QColor(255, 220, 100));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(gold), 9));
    p.drawRoundedRect(QRectF(6.5, 6.5, kWidth - 13, kHeight - 13), 18, 18);
    p.setPen(QPen(QColor(255, 230, 150, 200), 2));
    p.drawRoundedRect(QRectF(17, 17, kWidth - 34, kHeight - 34), 11, 11);
    p.restore();
}

QPainterPath captionPath(const QString &text)
{
    QPainterPath path;
    path.addText(0, 0, cjkFont(QStringLiteral("Noto Serif CJK SC"), 96, QFont::Black), text);
    // Centre the lettering in the right-hand part of the banner.
    const QRectF area(212, 30, 268, 190);
    const QRectF bounds = path.boundingRect();
    return path.translated(area.center() - bounds.center());
}

void paintCaption(QPainter &p, const QString &text)
{
    const QPainterPath path = captionPath(text);
    p.save();
    p.setPen(QPen(QColor(60, 0, 0, 150), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path.translated(3, 4));
    p.setPen(QPen(QColor(110, 10, 0), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    const QRectF b = path.boundingRect();
    QLinearGradient gold(b.topLeft(), b.bottomLeft());
    gold.setColorAt(0.0, QColor(255, 250, 200));
    gold.setColorAt(0.45, QColor(255, 214, 50));
    gold.setColorAt(1.0, QColor(235, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawPath(path);
    p.restore();
}

QImage renderBanner(const Banner &banner)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackground(p);
    paintBurst(p);
    banner.art(p, QRectF(kArtCentre - QPointF(88, 88), QSizeF(176, 176)));
    paintCaption(p, QString::fromUtf8(banner.caption));
    paintFrame(p);
    p.end();
    return image;
}

} // namespace

bool writeBanners(const QString &dir)
{
    const Banner banners[] = {
        {"prize5.jpg", "五等奖", drawMug},
        {"prize6.jpg", "六等奖", drawTeddyBear},
        {"prize7.jpg", "七等奖", drawGiftBox},
        {"prize8.jpg", "幸运奖", drawLuckyStar},
    };
    bool ok = true;
    for (const Banner &b : banners)
        ok = saveJpeg(renderBanner(b), QDir(dir).filePath(QString::fromLatin1(b.file))) && ok;
    return ok;
}

} // namespace mediagen
