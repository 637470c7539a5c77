// Pictures on a scaled screen: decoded in the screen's own pixels, so each
// pixel of the file reaches one pixel of the screen. (The program turns Qt's
// scaling off; where a platform scales all the same, as Wayland does, this
// keeps the pictures sharp.) This test runs its own screen at twice the scale.
#include "display/backgroundpicture.h"
#include "widgets/picturebox.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One-pixel black and white squares: any scaling on the way greys them.
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

// Whether the shown pixels are the picture's, pixel for pixel.
bool samePixels(const QImage &shown, const QImage &picture)
{
    return shown.convertToFormat(QImage::Format_RGB32) == picture.convertToFormat(QImage::Format_RGB32);
}

class BackgroundWindow : public QWidget
{
public:
    BackgroundWindow(const QString &runDir, PictureBox *resultPicture)
        : m_background(runDir, this, resultPicture)
    {
        m_background.load();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        m_background.paint(painter, event->rect());
    }

private:
    BackgroundPicture m_background;
};

} // namespace

class TestScaling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesAreDecodedInDevicePixels();
};

void TestScaling::picturesAreDecodedInDevicePixels()
{
    QWidget top;
    top.resize(300, 200);
    QCOMPARE(top.devicePixelRatioF(), 2.0);
    // A prize box of the design's 106 x 65 covers 212 x 130 pixels here.
    const QImage prize = checkerboard({212, 130});
    auto *box = new PictureBox(&top);
    box->setGeometry(10, 10, 106, 65);
    box->setPicture(pngOf(prize));
    const QImage shownPrize = box->grab().toImage();
    QCOMPARE(shownPrize.size(), prize.size());
    QVERIFY(samePixels(shownPrize, prize));

    // The window's background picture, stretched over the window.
    QTemporaryDir run;
    const QImage background = checkerboard({600, 400});
    QFile file(QDir(run.path()).filePath(QStringLiteral("底图.jpg")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(pngOf(background)) > 0);
    file.close();
    PictureBox result;
    BackgroundWindow window(run.path(), &result);
    window.resize(300, 200);
    QVERIFY(samePixels(window.grab().toImage(), background));
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaling test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scaling.moc"
