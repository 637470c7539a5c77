#include "core/wheelgeometry.h"

#include <QTest>

#include <limits>

class TestWheelGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designTable_data();
    void designTable();
    void sizeEightOutgrowsTheCorner();
    void scaleStepLimits_data();
    void scaleStepLimits();
    void absurdSizesSaturate_data();
    void absurdSizesSaturate();
    void noStepForZeroOrLess();
};

// The wheel at each size the options panel offers, as operators know it.
void TestWheelGeometry::designTable_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("frame");
    QTest::addColumn<QSize>("prizeBox");
    QTest::addColumn<QRect>("label");
    QTest::addColumn<int>("font");
    QTest::addColumn<QPoint>("slot1");
    QTest::addColumn<QPoint>("slot4");
    QTest::addColumn<QPoint>("slot8");
    QTest::addRow("0") << 0 << 500 << QSize(106, 65) << QRect(205, 192, 96, 112) << 30
                       << QPoint(132, 69) << QPoint(347, 268) << QPoint(42, 172);
    QTest::addRow("1") << 1 << 550 << QSize(116, 71) << QRect(225, 211, 105, 123) << 33
                       << QPoint(145, 75) << QPoint(381, 294) << QPoint(46, 189);
    QTest::addRow("2") << 2 << 605 << QSize(127, 78) << QRect(247, 232, 115, 135) << 36
                       << QPoint(159, 82) << QPoint(419, 323) << QPoint(50, 207);
    QTest::addRow("3") << 3 << 665 << QSize(139, 85) << QRect(271, 255, 126, 148) << 39
                       << QPoint(174, 90) << QPoint(460, 355) << QPoint(55, 227);
    QTest::addRow("4") << 4 << 731 << QSize(152, 93) << QRect(298, 280, 138, 162) << 42
                       << QPoint(191, 99) << QPoint(506, 390) << QPoint(60, 249);
}

void TestWheelGeometry::designTable()
{
    QFETCH(int, n);
    QFETCH(int, frame);
    QFETCH(QSize, prizeBox);
    QFETCH(QRect, label);
    QFETCH(int, font);
    QFETCH(QPoint, slot1);
    QFETCH(QPoint, slot4);
    QFETCH(QPoint, slot8);

    const WheelGeometry g = wheel::enlarge(WheelGeometry::design(), n);
    QCOMPARE(g.frame, QSize(frame, frame));
    QCOMPARE(g.face, QSize(frame, frame));
    QCOMPARE(g.startLabel, label);
    QCOMPARE(g.stopLabel, label);
    QCOMPARE(g.startFontSize, font);
    QCOMPARE(g.stopFontSize, font);
    for (const QRect &slot : g.slots)
        QCOMPARE(slot.size(), prizeBox);
    QCOMPARE(g.slots[0].topLeft(), slot1);
    QCOMPARE(g.slots[3].topLeft(), slot4);
    QCOMPARE(g.slots[7].topLeft(), slot8);
}

// Step-wise truncation: eight steps give 1069, not trunc(500 * 1.1^8) = 1071.
void TestWheelGeometry::sizeEightOutgrowsTheCorner()
{
    const WheelGeometry g = wheel::enlarge(WheelGeometry::design(), 8);
    QCOMPARE(g.frame, QSize(1069, 1069));
    QCOMPARE(g.face, QSize(1069, 1069));
}

void TestWheelGeometry::scaleStepLimits_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::addRow("zero") << 0 << 0;
    QTest::addRow("nine stays") << 9 << 9;   // 9.9000002
    QTest::addRow("ten grows") << 10 << 11;  // 11.0000002
    QTest::addRow("negative toward zero") << -105 << -115; // -115.5
    QTest::addRow("just below the limit") << 15252013 << 16777214;
    QTest::addRow("at the limit") << wheel::kMaxExtent << wheel::kMaxExtent;
    QTest::addRow("largest int") << std::numeric_limits<int>::max() << wheel::kMaxExtent;
    QTest::addRow("smallest int") << std::numeric_limits<int>::min() << -wheel::kMaxExtent;
}

void TestWheelGeometry::scaleStepLimits()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    QCOMPARE(wheel::scaleStep(value), expected);
}

void TestWheelGeometry::absurdSizesSaturate_data()
{
    QTest::addColumn<long long>("n");
    QTest::addRow("1000") << 1000LL;
    QTest::addRow("a billion") << 1000000000LL;
    QTest::addRow("largest") << std::numeric_limits<long long>::max();
}

// Every extent ends at the limit, nothing wraps negative, and the slots keep
// their place inside the face.
void TestWheelGeometry::absurdSizesSaturate()
{
    QFETCH(long long, n);
    const WheelGeometry g = wheel::enlarge(WheelGeometry::design(), n);
    QCOMPARE(g.frame, QSize(wheel::kMaxExtent, wheel::kMaxExtent));
    QCOMPARE(g.face, g.frame);
    QCOMPARE(g.startFontSize, wheel::kMaxExtent);
    QCOMPARE(g.startLabel, g.stopLabel);
    for (const QRect &slot : g.slots) {
        QCOMPARE(slot.size(), QSize(wheel::kMaxExtent, wheel::kMaxExtent));
        QVERIFY(slot.x() > 0 && slot.y() > 0);
    }
    QCOMPARE(wheel::enlargeStep(g), g);
}

void TestWheelGeometry::noStepForZeroOrLess()
{
    const WheelGeometry design = WheelGeometry::design();
    QCOMPARE(wheel::enlarge(design, 0), design);
    QCOMPARE(wheel::enlarge(design, -1), design);
    QCOMPARE(wheel::enlarge(design, std::numeric_limits<long long>::min()), design);
}

QTEST_APPLESS_MAIN(TestWheelGeometry)
#include "test_wheelgeometry.moc"
