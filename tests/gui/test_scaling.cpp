// Pictures on a scaled screen are decoded in the screen's own pixels, so each
// pixel of the file reaches one pixel of the screen. (The program turns Qt's
// scaling off; where a platform scales all the same, as Wayland does, this
// keeps them sharp.) This test's screen is at twice the scale.
#include "support_controls.h"
#include "support_runfolder.h"

#include "widgets/picturebox.h"

#include <QApplication>
#include <QBuffer>
#include <QTest>

namespace {

// One-pixel black and white squares, as PNG bytes: any scaling greys them.
QImage checkerboard(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x + y) % 2 ? 0xffffffff : 0xff000000);
    return image;
}

QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// What a widget shows, pixel for pixel.
QImage shown(QWidget *widget)
{
    QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace

class TestScaling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesAreDecodedInDevicePixels()
    {
        RunFolder run;
        // Everything but the background is moved off the window.
        run.writeGbk(QStringLiteral("config.a"),
                     QStringLiteral("[zbt]\r\n外形框1左边=9000\r\n主标题左边=9000\r\n副标题左边=9000\r\n"));
        const QImage background = checkerboard({800, 600});
        run.writeBytes(QStringLiteral("底图.jpg"), pngOf(background));
        // A prize box of the design's 106 x 65 covers 212 x 130 pixels here.
        const QImage prize = checkerboard({212, 130});
        run.writeBytes(QStringLiteral("奖品图片/1.jpg"), pngOf(prize));
        auto w = run.openWindow();
        w->resize(400, 300);
        QCOMPARE(w->devicePixelRatioF(), 2.0);
        QCOMPARE(shown(w.get()), background);

        QCOMPARE(shown(&control<PictureBox>(*w, QStringLiteral("图片框1"))), prize);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaling test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scaling.moc"
