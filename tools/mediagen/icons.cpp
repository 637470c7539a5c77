// The 16 x 16 gift icon of the display options panel and the application
// icon, a stylised prize wheel with a pointer.
#include "generators.h"
#include "mediakit.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace mediagen {

namespace {

// Drawn pixel by pixel without smoothing: at 16 pixels every pixel counts.
QImage renderPanelIcon()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(244, 244, 244));
    QPainter p(&image);
    const QColor red(214, 30, 40), darkRed(150, 10, 20), gold(250, 190, 20);
    const QColor bow(196, 112, 0);
    p.fillRect(QRect(2, 7, 12, 8), red);
    p.fillRect(QRect(1, 5, 14, 3), darkRed);
    p.fillRect(QRect(7, 5, 2, 10), gold);
    p.fillRect(QRect(2, 10, 12, 1), gold);
    // Bow: two loops above the lid.
    p.setPen(bow);
    p.drawPoints(QPolygon({QPoint(4, 2), QPoint(5, 2), QPoint(3, 3), QPoint(6, 3),
                           QPoint(4, 4), QPoint(5, 4), QPoint(6, 4),
                           QPoint(10, 2), QPoint(11, 2), QPoint(9, 3), QPoint(12, 3),
                           QPoint(9, 4), QPoint(10, 4), QPoint(11, 4)}));
    p.fillRect(QRect(7, 3, 2, 2), bow);
    p.end();
    return image;
}

void paintAppSectors(QPainter &p, QPointF c, double r)
{
    const QColor colours[] = {QColor(229, 57, 53), QColor(251, 140, 0), QColor(253, 216, 53),
                              QColor(67, 160, 71), QColor(0, 137, 123), QColor(30, 136, 229),
                              QColor(94, 53, 177), QColor(216, 27, 96)};
    p.setPen(QPen(Qt::white, 3));
    const QRectF rect(c.x() - r, c.y() - r, 2 * r, 2 * r);
    for (int i = 0; i < 8; ++i) {
        p.setBrush(colours[i]);
        p.drawPie(rect, (90 - 45 * i) * 16 - 22 * 16 - 8, -45 * 16);
    }
}

void paintAppRim(QPainter &p, QPointF c, double r)
{
    QRadialGradient rim(c, r + 14);
    rim.setColorAt(0.86, QColor(140, 90, 0));
    rim.setColorAt(0.93, QColor(255, 220, 90));
    rim.setColorAt(1.0, QColor(150, 100, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, r + 14, r + 14);
    p.setBrush(QColor(255, 250, 220));
    for (int i = 0; i < 16; ++i) {
        const double a = 2 * M_PI * i / 16;
        p.drawEllipse(c + (r + 7) * QPointF(std::sin(a), -std::cos(a)), 3.4, 3.4);
    }
}

void paintAppHubAndPointer(QPainter &p, QPointF c)
{
    QRadialGradient hub(c - QPointF(8, 8), 40);
    hub.setColorAt(0.0, Qt::white);
    hub.setColorAt(0.5, QColor(255, 222, 120));
    hub.setColorAt(1.0, QColor(214, 160, 20));
    p.setPen(QPen(QColor(170, 20, 30), 4));
    p.setBrush(hub);
    p.drawEllipse(c, 30, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 30, 40));
    p.drawPath(starPath(c, 18, 7.5));
    QPainterPath pointer;
    pointer.moveTo(c.x() - 20, 4);
    pointer.lineTo(c.x() + 20, 4);
    pointer.lineTo(c.x(), 44);
    pointer.closeSubpath();
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(214, 30, 40));
    p.drawPath(pointer);
}

QImage renderAppIcon()
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(128, 134);
    const double r = 102;
    paintAppRim(p, c, r);
    paintAppSectors(p, c, r);
    paintAppHubAndPointer(p, c);
    p.end();
    return image;
}

} // namespace

bool writeIcons(const QString &dir)
{
    const QDir out(dir);
    const QImage app = renderAppIcon();
    const QImage small = app.scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    bool ok = saveJpeg(renderPanelIcon(), out.filePath(QStringLiteral("panel_icon.jpg")), 100);
    ok = savePng(app, out.filePath(QStringLiteral("app_icon.png"))) && ok;
    ok = savePng(small, out.filePath(QStringLiteral("app_icon_48.png"))) && ok;
    return ok;
}

} // namespace mediagen
