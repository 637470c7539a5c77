#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace mediagen {

// The wheel face is shown in a 500 x 500 box; everything on a face is laid
// out in those design units and scaled to the 914-pixel image when painted.
inline constexpr double kDesignSize = 500.0;
inline constexpr int kFacePixels = 914;
inline constexpr int kSlotCount = 8;

QPointF wheelCentre();

// Top-left positions of the eight 106 x 65 prize boxes on the 500-unit face.
QRectF slotBox(int slot);

// The centre captions (start/stop) sit here on the face.
QRectF captionBox();

// Angles are in degrees, clockwise from twelve o'clock around the centre.
double slotAngle(int slot);
double sectorStart(int slot);
double sectorSpan(int slot);

// Whether the slot's prize box lies wholly inside its sector.
bool boxInsideSector(int slot);

// Point at the given radius and angle from the wheel centre.
QPointF polar(double radius, double angleDeg);

// Ring segment between two radii, from startDeg clockwise over spanDeg.
QPainterPath sectorPath(double inner, double outer, double startDeg, double spanDeg);

// Five-pointed (or n-pointed) star centred on c, first point straight up.
QPainterPath starPath(QPointF c, double outer, double inner, int points = 5);

QFont cjkFont(const QString &family, int pixelSize, int weight);

bool saveJpeg(const QImage &image, const QString &path, int quality = 88);
bool savePng(const QImage &image, const QString &path);

} // namespace mediagen
