// Pictures decoded at their box's size, the cache that keeps the roll from
// decoding the same bytes again, and the one on disk that keeps the next
// start from it.
#include "widgets/decodedcache.h"
#include "widgets/imagedecode.h"
#include "widgets/picturebox.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray jpegOf(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

} // namespace

class TestImageDecode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { imagedecode::clearCache(); }

    void decodesAtTheBoxSize()
    {
        const QImage image = imagedecode::decodeScaled(jpegOf({3000, 2000}, Qt::blue), {106, 65});
        QCOMPARE(image.size(), QSize(106, 65));
        QVERIFY(qAbs(image.pixelColor(50, 30).blue() - 255) < 8);
    }

    void equalBytesAreDecodedOnce()
    {
        const QByteArray first = jpegOf({800, 600}, Qt::red);
        // A fresh copy with the same content, as a file read at every tick gives.
        const QByteArray again(first.constData(), first.size());
        imagedecode::decodeScaled(first, {106, 65});
        imagedecode::decodeScaled(again, {106, 65});
        QCOMPARE(imagedecode::cacheMisses(), 1);
        QCOMPARE(imagedecode::cacheHits(), 1);
        // Another size is another decode.
        imagedecode::decodeScaled(again, {200, 160});
        QCOMPARE(imagedecode::cacheMisses(), 2);
    }

    void changedBytesAreDecodedAgain()
    {
        QByteArray bytes = jpegOf({400, 300}, Qt::green);
        const QImage before = imagedecode::decodeScaled(bytes, {40, 30});
        const QImage after = imagedecode::decodeScaled(jpegOf({400, 300}, Qt::white), {40, 30});
        QCOMPARE(imagedecode::cacheMisses(), 2);
        QVERIFY(before.pixelColor(5, 5) != after.pixelColor(5, 5));
    }

    // What a start decoded, the next start reads back by the bytes and the
    // size; a damaged entry is decoded again and replaced.
    void decodedPicturesAreKeptForTheNextRun()
    {
        QTemporaryDir dir;
        decodedcache::setFolder(dir.path());
        const QByteArray bytes = jpegOf({800, 600}, Qt::red);
        const QSize box(106, 65);
        QCOMPARE(imagedecode::decodeScaled(bytes, box).pixelColor(50, 30).red() > 240, true);
        const QStringList entries = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(entries.size(), 1);
        // Stored in place of the red one, a blue picture is what the next
        // run shows: it reads the entry instead of decoding.
        QImage blue(box, QImage::Format_ARGB32_Premultiplied);
        blue.fill(Qt::blue);
        decodedcache::store(bytes, box, blue);
        imagedecode::clearCache();
        QCOMPARE(imagedecode::decodeScaled(bytes, box).pixelColor(50, 30), QColor(Qt::blue));
        // Other bytes or another size are other entries.
        QCOMPARE(imagedecode::decodeScaled(jpegOf({800, 600}, Qt::green), box).pixelColor(50, 30).green() > 120, true);
        QCOMPARE(imagedecode::decodeScaled(bytes, {40, 30}).pixelColor(5, 5).red() > 240, true);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
        // Cut short (a full disk, a power cut): decoded again and replaced.
        QFile entry(dir.filePath(entries.first()));
        QVERIFY(entry.resize(100));
        imagedecode::clearCache();
        QCOMPARE(imagedecode::decodeScaled(bytes, box).pixelColor(50, 30).red() > 240, true);
        QCOMPARE(QFileInfo(entry).size(), 16 + 106 * 65 * 4);
        decodedcache::setFolder({});
    }

    void hugeBoxesStayWithinTheBudget()
    {
        // Each entry is 4096 × 4096 × 4 bytes = 64 MB; the cache keeps at most
        // 256 MB, so decoding the first again after six others is a miss.
        QList<QByteArray> pictures;
        for (int i = 0; i < 7; ++i)
            pictures << jpegOf({64, 64}, QColor::fromHsv(i * 40, 200, 200));
        for (const QByteArray &p : pictures)
            QCOMPARE(imagedecode::decodeScaled(p, {100000, 100000}).size(), QSize(4096, 4096));
        QCOMPARE(imagedecode::cacheMisses(), 7);
        imagedecode::decodeScaled(pictures.first(), {100000, 100000});
        QCOMPARE(imagedecode::cacheMisses(), 8);
        imagedecode::decodeScaled(pictures.last(), {100000, 100000});
        QCOMPARE(imagedecode::cacheHits(), 1);
    }

    void undecodableBytesGiveNothing()
    {
        QVERIFY(imagedecode::decodeScaled(QByteArray("not a picture"), {10, 10}).isNull());
        QVERIFY(imagedecode::decodeScaled(QByteArray(), {10, 10}).isNull());
        QVERIFY(imagedecode::decodeScaled(jpegOf({10, 10}, Qt::red), {0, 10}).isNull());
    }

    void pictureBoxDrawsScaledAndRaised()
    {
        PictureBox box;
        box.resize(106, 65);
        box.setPicture(jpegOf({1000, 500}, Qt::blue));
        QImage shot = box.grab().toImage();
        QVERIFY(qAbs(shot.pixelColor(53, 32).blue() - 255) < 8);
        box.setRaised(true);
        shot = box.grab().toImage();
        // The frame covers the edge; the middle still shows the picture.
        QVERIFY(shot.pixelColor(0, 30).red() > 200);
        QVERIFY(qAbs(shot.pixelColor(53, 32).blue() - 255) < 8);
    }
};

QTEST_MAIN(TestImageDecode)
#include "test_imagedecode.moc"
