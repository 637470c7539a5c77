#include "display/fireworks.h"
#include "display/fireworksdamage.h"
#include "display/fireworkspainter.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

// The frames of a translucent fireworks window that repaints and sends only
// what changed since the frame before.

class TestFireworksDamage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void screenMatchesWholeRepaints_data();
    void screenMatchesWholeRepaints();
};

void TestFireworksDamage::screenMatchesWholeRepaints_data()
{
    QTest::addColumn<FireworksKind>("kind");
    QTest::newRow("peony") << FireworksKind::Peony;
    QTest::newRow("golden ring") << FireworksKind::GoldenRing;
    QTest::newRow("willow") << FireworksKind::Willow;
}

// What the screen holds is what the pushed rectangles of every frame brought
// to it. Frame after frame of a whole show, to its last spark, it must equal
// the window cleared and drawn whole: a pixel that changed outside the
// repainted region or outside the pushes would stay behind on the screen.
void TestFireworksDamage::screenMatchesWholeRepaints()
{
    QFETCH(FireworksKind, kind);
    const QSize area(1920, 1080);
    Fireworks show(kind, area, 41);
    FireworksDamage damage(area);
    FireworksPainter painter;
    QImage surface(area, QImage::Format_ARGB32_Premultiplied); // the window's backing store
    QImage screen(area, QImage::Format_ARGB32_Premultiplied);  // what the compositor was sent
    QImage whole(area, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::transparent);
    screen.fill(Qt::transparent);
    double pushed = 0;
    int frames = 0, drawnFrames = 0;
    bool started = false;
    while (!started || !show.sparks().empty()) {
        show.step();
        started = started || !show.sparks().empty();
        damage.advance(show);
        {
            QPainter p(&surface);
            damage.paint(p, show, painter);
        }
        QVERIFY(damage.pushes().size() <= size_t(FireworksDamage::kMaxPushes));
        {
            QPainter p(&screen);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            for (const QRect &r : damage.pushes())
                p.drawImage(r, surface, r);
        }
        whole.fill(Qt::transparent);
        {
            QPainter p(&whole);
            painter.paint(p, show);
        }
        if (screen != whole) {
            for (int y = 0; y < area.height(); ++y) {
                for (int x = 0; x < area.width(); ++x) {
                    if (screen.pixel(x, y) != whole.pixel(x, y))
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2 at %3 s: %4 on the screen, %5 drawn whole")
                                             .arg(x).arg(y).arg(show.time())
                                             .arg(screen.pixel(x, y), 8, 16).arg(whole.pixel(x, y), 8, 16)));
                }
            }
        }
        drawnFrames += show.sparks().empty() ? 0 : 1;
        pushed += double(damage.pushedPixels()) / (double(area.width()) * area.height());
        ++frames;
    }
    // The last frame cleared the last sparks; nothing is left to send.
    damage.advance(show);
    QVERIFY(damage.region().isEmpty());
    QVERIFY(damage.pushes().empty());
    QVERIFY(drawnFrames > 100);
    // Not the whole screen each frame, which is what this is for.
    QVERIFY2(pushed / frames < 0.5, qPrintable(QString::number(pushed / frames)));
}

QTEST_MAIN(TestFireworksDamage)
#include "test_fireworksdamage.moc"
