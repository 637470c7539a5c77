#include "display/fireworks.h"
#include "display/fireworkspainter.h"
#include "display/maskedframe.h"

#include <QRegion>
#include <QtTest>

#include <algorithm>

// A masked show's shape kept under a rectangle limit: Wine on X11 sends a
// window's shape in one request, and the golden rings on a large screen have
// more rectangles at their peak than one request can carry.

namespace {

int area(const QRect &r) { return r.width() * r.height(); }

} // namespace

class TestShapeLimit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void smallestPiecesGoFirst_data();
    void smallestPiecesGoFirst();
};

void TestShapeLimit::smallestPiecesGoFirst_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("time");
    QTest::addColumn<int>("limit");
    // Near each show's peak; the 4K golden rings hold about twice the limit.
    QTest::newRow("golden rings, 4K") << int(FireworksKind::GoldenRing) << QSize(3840, 2160) << 2.35 << 24000;
    QTest::newRow("willow, 4K") << int(FireworksKind::Willow) << QSize(3840, 2160) << 2.3 << 24000;
    QTest::newRow("peony, tight limit") << int(FireworksKind::Peony) << QSize(1280, 1024) << 1.6 << 500;
    QTest::newRow("limit above the count") << int(FireworksKind::Peony) << QSize(1280, 1024) << 1.6 << 1000000;
}

void TestShapeLimit::smallestPiecesGoFirst()
{
    QFETCH(int, kind);
    QFETCH(QSize, screen);
    QFETCH(double, time);
    QFETCH(int, limit);

    Fireworks show(FireworksKind(kind), screen, 7);
    show.advanceTo(time);
    FireworksPainter painter;
    MaskedFrame whole(screen);
    whole.render(show, painter);
    MaskedFrame limited(screen);
    limited.setRectangleLimit(size_t(limit));
    limited.render(show, painter);

    const QRegion &all = whole.shape();
    const QRegion &kept = limited.shape();
    QVERIFY(all.rectCount() > 0);
    QVERIFY(kept.rectCount() <= limit);
    QVERIFY(kept.subtracted(all).isEmpty());
    if (all.rectCount() <= limit) {
        QCOMPARE(kept, all);
        return;
    }
    // Exactly the pieces above the smallest size that had to go are kept:
    // one size less would not have fitted.
    int largestDropped = 0;
    for (const QRect &r : all)
        if (!kept.contains(r))
            largestDropped = std::max(largestDropped, area(r));
    QVERIFY(largestDropped > 0);
    const auto countAbove = [&all](int minArea) {
        return int(std::count_if(all.begin(), all.end(), [minArea](const QRect &r) { return area(r) > minArea; }));
    };
    QCOMPARE(kept.rectCount(), countAbove(largestDropped));
    QVERIFY(countAbove(largestDropped - 1) > limit);
    // The shown image is the same wherever the limited shape shows it.
    for (const QRect &r : kept)
        QCOMPARE(limited.image().copy(r), whole.image().copy(r));
}

QTEST_MAIN(TestShapeLimit)
#include "test_shapelimit.moc"
