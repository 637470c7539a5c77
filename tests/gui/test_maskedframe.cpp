#include "display/fireworks.h"
#include "display/fireworkspainter.h"
#include "display/maskedframe.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

// The frames a fireworks window shows where nothing composites the screen:
// opaque pixels inside a shape cut to the sparks.

namespace {

// A solid-style render of the whole screen into a fresh image, and the
// pixels it keeps found by a plain scan of every pixel, their runs united.
struct PlainFrame
{
    QImage drawn;
    QRegion shape;
};

PlainFrame plainSolidFrame(const Fireworks &show)
{
    PlainFrame plain{QImage(show.area(), QImage::Format_ARGB32_Premultiplied), {}};
    plain.drawn.fill(Qt::transparent);
    FireworksPainter painter;
    {
        QPainter p(&plain.drawn);
        painter.paint(p, show, FireworksPainter::Style::Solid);
    }
    std::vector<QRegion> regions;
    for (int y = 0; y < plain.drawn.height(); ++y) {
        int run = -1; // first kept pixel of the current run
        for (int x = 0; x <= plain.drawn.width(); ++x) {
            const bool kept = x < plain.drawn.width() && qAlpha(plain.drawn.pixel(x, y)) >= FireworksPainter::kSolidAlphaCut;
            if (kept && run < 0)
                run = x;
            if (!kept && run >= 0) {
                regions.emplace_back(run, y, x - run, 1);
                run = -1;
            }
        }
    }
    while (regions.size() > 1) {
        std::vector<QRegion> next;
        for (size_t i = 0; i < regions.size(); i += 2)
            next.push_back(i + 1 < regions.size() ? regions[i].united(regions[i + 1]) : regions[i]);
        regions.swap(next);
    }
    if (!regions.empty())
        plain.shape = regions.front();
    return plain;
}

} // namespace

class TestMaskedFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void maskedFrameMatchesAPlainRender_data();
    void maskedFrameMatchesAPlainRender();
    void maskedFrameShowsNoDarkPixel_data();
    void maskedFrameShowsNoDarkPixel();
    void paintedBoxesHoldEveryDrawnPixel_data();
    void paintedBoxesHoldEveryDrawnPixel();
    void frameIsEmptyWithoutSparks();
};

void TestMaskedFrame::maskedFrameMatchesAPlainRender_data()
{
    QTest::addColumn<FireworksKind>("kind");
    QTest::newRow("peony") << FireworksKind::Peony;
    QTest::newRow("golden ring") << FireworksKind::GoldenRing;
    QTest::newRow("willow") << FireworksKind::Willow;
}

// The masked window draws only the cells sparks touch and reuses its images
// from frame to frame; at any moment its shape and colours must be those of
// a fresh render of the whole screen.
void TestMaskedFrame::maskedFrameMatchesAPlainRender()
{
    QFETCH(FireworksKind, kind);
    const QSize area(1920, 1080);
    Fireworks show(kind, area, 23);
    MaskedFrame frame(area);
    FireworksPainter painter;
    for (double checkpoint : {0.5, 1.2, 2.0, 2.9}) {
        while (show.time() < checkpoint) {
            show.step();
            frame.render(show, painter);
        }
        const PlainFrame plain = plainSolidFrame(show);
        QVERIFY(!plain.shape.isEmpty());
        QVERIFY((frame.shape() ^ plain.shape).isEmpty());
        // Every rectangle goes to the X server each frame: no more of them
        // than QRegion's own union makes.
        QVERIFY(frame.shape().rectCount() <= plain.shape.rectCount());
        // The repainted cells hold the whole shape.
        QVERIFY(frame.shape().subtracted(frame.touched()).isEmpty());
        for (const QRect &r : frame.shape()) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QRgb expected = qUnpremultiply(plain.drawn.pixel(x, y)) | 0xff000000u;
                    if (frame.image().pixel(x, y) != expected)
                        QFAIL(qPrintable(QStringLiteral("colour at %1,%2").arg(x).arg(y)));
                }
            }
        }
        // Every bright head is part of the shape.
        for (const Spark &s : show.sparks()) {
            if (s.fade() >= 0.99f && s.role != Spark::Role::Glitter && QRect(QPoint(0, 0), area).contains(int(s.x), int(s.y)))
                QVERIFY(frame.shape().contains(QPoint(int(s.x), int(s.y))));
        }
    }
}

void TestMaskedFrame::maskedFrameShowsNoDarkPixel_data()
{
    QTest::addColumn<FireworksKind>("kind");
    QTest::addColumn<QColor>("below");
    QTest::newRow("peony over red") << FireworksKind::Peony << QColor(230, 20, 20);
    QTest::newRow("golden ring over red") << FireworksKind::GoldenRing << QColor(230, 20, 20);
    QTest::newRow("willow over red") << FireworksKind::Willow << QColor(230, 20, 20);
    QTest::newRow("golden ring over white") << FireworksKind::GoldenRing << QColor(Qt::white);
}

// What an audience sees without a compositor: the window's opaque pixels
// inside its shape, the main window everywhere else. A pixel of the shape
// that is near black (a dim trail, the edge of a glow painted on black)
// shows as a dark fringe over the wheel.
void TestMaskedFrame::maskedFrameShowsNoDarkPixel()
{
    QFETCH(FireworksKind, kind);
    QFETCH(QColor, below);
    const QSize area(1280, 720);
    Fireworks show(kind, area, 77);
    MaskedFrame frame(area);
    FireworksPainter painter;
    qint64 shown = 0;
    while (show.time() < 3.4) {
        show.step();
        frame.render(show, painter);
        if (show.time() < 0.3 || int(std::lround(show.time() / Fireworks::kStep)) % 20 != 0)
            continue;
        QImage screen(area, QImage::Format_RGB32);
        screen.fill(below);
        {
            QPainter p(&screen);
            p.setClipRegion(frame.shape());
            p.drawImage(0, 0, frame.image());
        }
        for (const QRect &r : frame.shape()) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const QRgb *line = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
                for (int x = r.left(); x <= r.right(); ++x) {
                    const int brightest = std::max({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
                    if (brightest < 128)
                        QFAIL(qPrintable(QStringLiteral("dark pixel %1 at %2,%3, %4 s")
                                             .arg(line[x], 8, 16).arg(x).arg(y).arg(show.time())));
                }
                shown += r.width();
            }
        }
    }
    QVERIFY(shown > 10000);
}

void TestMaskedFrame::paintedBoxesHoldEveryDrawnPixel_data()
{
    QTest::addColumn<FireworksKind>("kind");
    QTest::addColumn<FireworksPainter::Style>("style");
    for (auto style : {FireworksPainter::Style::Soft, FireworksPainter::Style::Solid}) {
        const char *name = style == FireworksPainter::Style::Soft ? "soft" : "solid";
        QTest::addRow("peony %s", name) << FireworksKind::Peony << style;
        QTest::addRow("golden ring %s", name) << FireworksKind::GoldenRing << style;
        QTest::addRow("willow %s", name) << FireworksKind::Willow << style;
    }
}

// The masked frame clears and scans only where the boxes say sparks are; a
// pixel drawn outside them would be cut off or left over from a past frame.
void TestMaskedFrame::paintedBoxesHoldEveryDrawnPixel()
{
    QFETCH(FireworksKind, kind);
    QFETCH(FireworksPainter::Style, style);
    const QSize area(1280, 720);
    Fireworks show(kind, area, 5);
    FireworksPainter painter;
    for (double checkpoint : {0.4, 1.1, 1.9, 2.7}) {
        show.advanceTo(checkpoint);
        QImage drawn(area, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        {
            QPainter p(&drawn);
            painter.paint(p, show, style);
        }
        std::vector<QRect> boxes;
        FireworksPainter::paintedBoxes(show, style, boxes);
        QImage inside(area, QImage::Format_Grayscale8);
        inside.fill(0);
        {
            QPainter p(&inside);
            for (const QRect &box : boxes)
                p.fillRect(box, Qt::white);
        }
        int painted = 0;
        for (int y = 0; y < area.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(drawn.constScanLine(y));
            const uchar *mark = inside.constScanLine(y);
            for (int x = 0; x < area.width(); ++x) {
                if (line[x] == 0)
                    continue;
                ++painted;
                if (!mark[x])
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 drawn outside the boxes").arg(x).arg(y)));
            }
        }
        QVERIFY(painted > 0);
    }
}

void TestMaskedFrame::frameIsEmptyWithoutSparks()
{
    const QSize area(1024, 768);
    Fireworks show(FireworksKind::Willow, area, 1);
    MaskedFrame frame(area);
    FireworksPainter painter;
    frame.render(show, painter);
    QVERIFY(show.sparks().empty());
    QVERIFY(frame.shape().isEmpty());
    QVERIFY(frame.touched().isEmpty());
    bool shown = false;
    while (show.time() < 8.0) { // long after the last star went out
        show.step();
        frame.render(show, painter);
        shown = shown || !frame.shape().isEmpty();
    }
    QVERIFY(shown);
    QVERIFY(show.sparks().empty());
    QVERIFY(frame.shape().isEmpty());
    QVERIFY(frame.touched().isEmpty());
}

QTEST_MAIN(TestMaskedFrame)
#include "test_maskedframe.moc"
