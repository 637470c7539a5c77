#include "wheellayout.h"

#include "core/keys.h"
#include "core/settingsfile.h"
#include "core/wholefile.h"
#include "widgets/controls.h"
#include "widgets/fontsize.h"
#include "widgets/picturebox.h"
#include "widgets/screensize.h"

#include <QAction>
#include <QPainterPath>

namespace {

// Glyphs beyond this size cost memory without showing more: an absurd wheel
// keeps its captions at a size the font engine handles.
constexpr int kMaxCaptionPoints = 1000;

// The enlargement works on the captions' size in points, as the wheel's
// table of sizes does; the label gets the matching pixel size.
void setPointSize(QWidget *label, int points)
{
    QFont font = label->font();
    fontsize::setPoints(font, qBound(1, points, kMaxCaptionPoints));
    label->setFont(font);
}

} // namespace

WheelLayout::WheelLayout(const WheelControls &controls, SettingsFile &settings)
    : m_controls(controls)
    , m_settings(settings)
{
}

WheelGeometry WheelLayout::current() const
{
    WheelGeometry g;
    g.frame = m_controls.wheelFrame->size();
    g.face = m_controls.face->size();
    g.startLabel = m_controls.startCaption->geometry();
    g.stopLabel = m_controls.stopCaption->geometry();
    g.startFontSize = fontsize::points(m_controls.startCaption->font());
    g.stopFontSize = fontsize::points(m_controls.stopCaption->font());
    for (int i = 0; i < 8; ++i)
        g.slots[i] = m_controls.slots[i]->geometry();
    return g;
}

void WheelLayout::apply(const WheelGeometry &g)
{
    m_controls.wheelFrame->resize(g.frame);
    m_controls.face->setGeometry(QRect(QPoint(0, 0), g.face));
    m_controls.startCaption->setGeometry(g.startLabel);
    m_controls.stopCaption->setGeometry(g.stopLabel);
    setPointSize(m_controls.startCaption, g.startFontSize);
    setPointSize(m_controls.stopCaption, g.stopFontSize);
    for (int i = 0; i < 8; ++i)
        m_controls.slots[i]->setGeometry(g.slots[i]);
}

void WheelLayout::resetGeometry()
{
    apply(WheelGeometry::design());
}

void WheelLayout::enlargeStep()
{
    apply(wheel::enlargeStep(current()));
}

void WheelLayout::enlarge(long long n)
{
    if (n < 1)
        return;
    apply(wheel::enlarge(current(), n));
}

void WheelLayout::clipRound()
{
    // A rounded rectangle one pixel larger than the frame with a corner
    // ellipse of 1000 × 1000: a disc up to 1000 px, a rounded square beyond.
    QWidget *frame = m_controls.wheelFrame;
    const QRectF outer(0, 0, frame->width() + 1, frame->height() + 1);
    QPainterPath path;
    path.addRoundedRect(outer, qMin(500.0, outer.width() / 2), qMin(500.0, outer.height() / 2));
    // Only the part that can show on the window is turned into a region, so
    // an absurd wheel never builds a region of millions of scan lines.
    const QRect visible = QRect(frame->mapFrom(m_controls.window, QPoint(0, 0)),
                                m_controls.window->size().expandedTo(screenAreaOf(m_controls.window).size()))
                              .adjusted(-2, -2, 2, 2);
    QPainterPath window;
    window.addRect(visible);
    const QPolygon polygon = path.intersected(window).toFillPolygon().toPolygon();
    frame->setMask(polygon.isEmpty() ? QRegion(0, 0, 1, 1) : QRegion(polygon));
    frame->update();
}

void WheelLayout::applySize(long long n)
{
    resetGeometry();
    enlarge(n);
    clipRound();
}

QByteArray WheelLayout::face(int k)
{
    return readWholeFile(QStringLiteral(":/assets/face%1.jpg").arg(k));
}

void WheelLayout::checkStyle(int k)
{
    for (int i = 0; i < 4; ++i)
        m_controls.styles[i]->setChecked(i + 1 == k);
}

void WheelLayout::setFace(int k)
{
    m_controls.face->setPicture(face(k));
}

void WheelLayout::selectStyle(int k)
{
    checkStyle(k);
    setFace(k);
    // The face shows at once; a failed write only loses it at the next start.
    m_styleUnsaved.check(m_settings.writeZbt(keys::kStyle, keys::kStyleValue[k - 1]));
}

void WheelLayout::applyStoredStyle()
{
    const QString stored = m_settings.readZbt(keys::kStyle);
    for (int k = 1; k <= 4; ++k) {
        if (stored == keys::kStyleValue[k - 1]) {
            setFace(k);
            checkStyle(k);
            return;
        }
    }
    setFace(1);
}
