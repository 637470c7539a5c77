// The 16 x 16 gift icon of the display options panel and the application
// icon, a stylised prize wheel with a pointer.
#include "generators.h"
#include "mediakit.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
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

// A Windows icon file holding the icon at each size Explorer and the task
// bar ask for. Every entry is a PNG, which Windows reads in icons since
// Vista; painted down from the large icon, so all sizes look alike.
bool saveIco(const QImage &icon, const QString &path)
{
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    QList<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!scaled.save(&buffer, "png"))
            return false;
        images.append(png);
    }
    QByteArray ico;
    QDataStream stream(&ico, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const quint8 side = quint8(sizes[i] == 256 ? 0 : sizes[i]); // 0 stands for 256
        stream << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
               << quint32(images[i].size()) << offset;
        offset += quint32(images[i].size());
    }
    for (const QByteArray &png : images)
        stream.writeRawData(png.constData(), int(png.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ico) == ico.size() && file.flush();
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
    ok = saveIco(app, out.filePath(QStringLiteral("app_icon.ico"))) && ok;
    return ok;
}

} // namespace mediagen
