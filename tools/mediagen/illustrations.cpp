#include "illustrations.h"

#include "mediakit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace mediagen {

namespace {

const QColor kOutline(60, 20, 10);
const QColor kGold(255, 200, 40);

// Every illustration is drawn in a 100 x 100 unit box mapped onto the area.
void enterUnitBox(QPainter &p, const QRectF &area)
{
    p.save();
    p.translate(area.topLeft());
    p.scale(area.width() / 100.0, area.height() / 100.0);
    p.setRenderHint(QPainter::Antialiasing);
}

QPen outlinePen(double width = 2.2)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient vertical(double top, double bottom, const QColor &a, const QColor &b)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0.0, a);
    g.setColorAt(1.0, b);
    return g;
}

void drawSteam(QPainter &p)
{
    p.setPen(QPen(QColor(255, 255, 255, 200), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (double x : {32.0, 45.0, 58.0}) {
        QPainterPath s(QPointF(x, 26));
        s.cubicTo(QPointF(x - 6, 19), QPointF(x + 6, 14), QPointF(x, 6));
        p.drawPath(s);
    }
}

void drawEar(QPainter &p, QPointF c, const QColor &fur)
{
    p.setPen(outlinePen());
    p.setBrush(fur);
    p.drawEllipse(c, 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 190, 140));
    p.drawEllipse(c, 6, 6);
}

void drawBow(QPainter &p, QPointF c, double size, const QColor &colour)
{
    p.setPen(outlinePen(1.8));
    p.setBrush(colour);
    QPainterPath bow;
    bow.moveTo(c);
    bow.cubicTo(c + QPointF(-size, -size), c + QPointF(-size * 1.3, size * 0.6), c);
    bow.cubicTo(c + QPointF(size, -size), c + QPointF(size * 1.3, size * 0.6), c);
    p.drawPath(bow);
    p.drawEllipse(c, size * 0.22, size * 0.22);
}

} // namespace

void drawMug(QPainter &p, const QRectF &area)
{
    enterUnitBox(p, area);
    p.setPen(outlinePen());
    p.setBrush(vertical(84, 98, QColor(250, 250, 250), QColor(190, 190, 200)));
    p.drawEllipse(QRectF(8, 84, 80, 13));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(245, 245, 250), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(58, 42, 28, 32), -90 * 16, 180 * 16);
    p.setPen(outlinePen());
    QLinearGradient body(18, 0, 70, 0);
    body.setColorAt(0.0, QColor(210, 215, 225));
    body.setColorAt(0.35, Qt::white);
    body.setColorAt(1.0, QColor(200, 205, 215));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(18, 30, 52, 60), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(19, 40, 50, 6));
    p.setBrush(QColor(220, 30, 40));
    QPainterPath heart(QPointF(44, 78));
    heart.cubicTo(QPointF(26, 64), QPointF(36, 50), QPointF(44, 60));
    heart.cubicTo(QPointF(52, 50), QPointF(62, 64), QPointF(44, 78));
    p.drawPath(heart);
    drawSteam(p);
    p.restore();
}

void drawTeddyBear(QPainter &p, const QRectF &area)
{
    enterUnitBox(p, area);
    const QColor fur(196, 128, 64);
    drawEar(p, QPointF(30, 16), fur);
    drawEar(p, QPointF(70, 16), fur);
    p.setPen(outlinePen());
    p.setBrush(vertical(50, 98, fur.lighter(115), fur.darker(120)));
    p.drawEllipse(QRectF(24, 50, 52, 46));
    p.drawEllipse(QRectF(12, 56, 18, 26));
    p.drawEllipse(QRectF(70, 56, 18, 26));
    p.drawEllipse(QRectF(20, 82, 22, 16));
    p.drawEllipse(QRectF(58, 82, 22, 16));
    p.setBrush(vertical(8, 58, fur.lighter(125), fur));
    p.drawEllipse(QRectF(24, 8, 52, 48));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 210, 165));
    p.drawEllipse(QRectF(38, 32, 24, 18));
    p.drawEllipse(QRectF(38, 62, 24, 24));
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(40, 27), 3.2, 3.2);
    p.drawEllipse(QPointF(60, 27), 3.2, 3.2);
    p.drawEllipse(QRectF(45, 34, 10, 7));
    p.setPen(outlinePen(1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(44, 38, 12, 8), 200 * 16, 140 * 16);
    drawBow(p, QPointF(50, 56), 11, kGold);
    p.restore();
}

void drawGiftBox(QPainter &p, const QRectF &area)
{
    enterUnitBox(p, area);
    p.setPen(outlinePen());
    p.setBrush(vertical(46, 96, QColor(40, 170, 255), QColor(20, 90, 200)));
    p.drawRect(QRectF(16, 46, 68, 50));
    p.setBrush(vertical(32, 48, QColor(90, 200, 255), QColor(30, 130, 230)));
    p.drawRect(QRectF(10, 32, 80, 16));
    p.setBrush(vertical(32, 96, QColor(255, 235, 120), QColor(230, 160, 20)));
    p.drawRect(QRectF(43, 32, 14, 64));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRect(QRectF(18, 48, 8, 46));
    drawBow(p, QPointF(50, 30), 20, kGold);
    p.setPen(QPen(QColor(255, 255, 255, 230), 2, Qt::SolidLine, Qt::RoundCap));
    for (QPointF s : {QPointF(12, 14), QPointF(88, 18)}) {
        p.drawLine(s + QPointF(-4, 0), s + QPointF(4, 0));
        p.drawLine(s + QPointF(0, -4), s + QPointF(0, 4));
    }
    p.restore();
}

void drawLuckyStar(QPainter &p, const QRectF &area)
{
    enterUnitBox(p, area);
    const QPointF c(50, 54);
    QRadialGradient g(c - QPointF(10, 12), 50);
    g.setColorAt(0.0, QColor(255, 252, 220));
    g.setColorAt(0.4, QColor(255, 214, 60));
    g.setColorAt(1.0, QColor(220, 130, 0));
    p.setPen(outlinePen(2.6));
    p.setBrush(g);
    p.drawPath(starPath(c, 46, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawPath(starPath(c + QPointF(-3, -4), 20, 9));
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(42, 52), 3, 4);
    p.drawEllipse(QPointF(58, 52), 3, 4);
    p.setPen(outlinePen(2.4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(42, 54, 16, 12), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (QPointF s : {QPointF(10, 12), QPointF(90, 20), QPointF(88, 88)})
        p.drawPath(starPath(s, 6, 1.8, 4));
    p.restore();
}

} // namespace mediagen
