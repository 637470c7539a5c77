// Replacing a prize picture by double-clicking its box on the wheel,
// offscreen on the real main window.
#include "support_operator.h"
#include "support_pictures.h"
#include "support_runfolder.h"

#include "core/wholefile.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>

namespace {

const QString kFilter = QStringLiteral("图形文件(*.jpg)|*.jpg");

// A JPEG whose left half is red and right half blue, with enough noise that
// it stays large however well it compresses.
QByteArray noisyJpeg(QSize size, int noise)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator rng(2024);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const bool left = x < size.width() / 2;
            const auto jitter = [&](int base) {
                return qBound(0, base + int(rng.bounded(2 * noise + 1)) - noise, 255);
            };
            line[x] = qRgb(jitter(left ? 220 : 20), jitter(20), jitter(left ? 20 : 220));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 100);
    return bytes;
}

QImage smallImage()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return image;
}

QByteArray smallJpeg(const QColor &colour)
{
    return solidJpeg({40, 30}, colour);
}

// A picture for every slot, by probability so a roll always finds tickets;
// `values` are more lines of the [zbt] section.
void prepare(const RunFolder &run, const QString &values = {})
{
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n") + kQuickRoll + values);
    for (int slot = 1; slot <= 8; ++slot)
        run.writeBytes(QStringLiteral("奖品图片/%1.jpg").arg(slot),
                       smallJpeg(QColor::fromHsv(slot * 40, 200, 200)));
}

QString pictureFile(const RunFolder &run, int slot)
{
    return run.file(QStringLiteral("奖品图片/%1.jpg").arg(slot));
}

void doubleClick(PictureBox &box)
{
    QTest::mouseDClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
}

} // namespace

class TestReplacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void largePictureIsCopiedExactlyAndShown();
    void cancelChangesNothingButHeldPicture();
    void choosingTheSlotsOwnFileKeepsIt_data();
    void choosingTheSlotsOwnFileKeepsIt();
    void onlyPicturesThatDecodeAreCopied();
    void worksWhileRolling();
    void folderRemovedSinceStartUpIsMadeAgain();
};

void TestReplacement::largePictureIsCopiedExactlyAndShown()
{
    RunFolder run;
    // Slot 3 holds the only ticket, so every draw lands there.
    prepare(run, QStringLiteral("一=0\r\n二=0\r\n三=1\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=0\r\n"));
    const QByteArray big = noisyJpeg(QSize(1600, 1000), 60);
    QVERIFY2(big.size() >= 2 * 1024 * 1024, "the test picture must be at least 2 MB");
    run.writeBytes(QStringLiteral("chosen/big.jpg"), big);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    PictureBox &box = operate::slot(*w, 3);

    filedialog::Seam dialogs;
    dialogs.queueChoice(run.file(QStringLiteral("chosen/big.jpg")));
    doubleClick(box);

    QCOMPARE(dialogs.filters(), QStringList{kFilter});
    QCOMPARE(readWholeFile(pictureFile(run, 3)), big);
    QCOMPARE(box.picture(), big);
    const QImage shown = box.grab().toImage();
    const QColor left = shown.pixelColor(box.width() / 4, box.height() / 2);
    const QColor right = shown.pixelColor(box.width() * 3 / 4, box.height() / 2);
    QVERIFY2(left.red() > 150 && left.blue() < 100, qPrintable(left.name()));
    QVERIFY2(right.blue() > 150 && right.red() < 100, qPrintable(right.name()));

    // A roll that passes slot 3 (reloading it from the new file as the
    // highlight leaves it) and then lands there shows the new picture.
    RollTicks ticks(*w);
    operate::pressSpace(*w);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 9, kPatienceMs);
    operate::pressSpace(*w);
    QVERIFY(waitForLanding(*w));
    QTRY_COMPARE(storedCount(run, 3), 1);
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框a_结果")).picture(), big);
    QCOMPARE(box.picture(), big);
}

// A cancelled dialog changes no file and no box. It still empties the
// picture the last landing holds, so the next start gives that slot an empty
// box until the highlight leaves it and reloads it from its file.
void TestReplacement::cancelChangesNothingButHeldPicture()
{
    RunFolder run;
    prepare(run);
    auto w = run.openWindow();
    QVERIFY(drawOnce(*w));
    QTRY_COMPARE(storedWins(run), 1); // stored by the save worker
    int landed = 0;
    for (int slot = 1; slot <= 8; ++slot)
        landed = storedCount(run, slot) == 1 ? slot : landed;
    QVERIFY(landed != 0);
    std::array<QByteArray, 8> files;
    std::array<QByteArray, 8> boxes;
    for (int slot = 1; slot <= 8; ++slot) {
        files[slot - 1] = readWholeFile(pictureFile(run, slot));
        boxes[slot - 1] = operate::slot(*w, slot).picture();
    }
    QVERIFY(!boxes[landed - 1].isEmpty());

    filedialog::Seam dialogs;
    dialogs.queueCancel();
    doubleClick(operate::slot(*w, 6));

    QCOMPARE(dialogs.filters().size(), 1);
    for (int slot = 1; slot <= 8; ++slot) {
        QCOMPARE(readWholeFile(pictureFile(run, slot)), files[slot - 1]);
        QCOMPARE(operate::slot(*w, slot).picture(), boxes[slot - 1]);
    }
    // The start runs before the roll timer's first tick.
    operate::pressSpace(*w);
    QVERIFY(isRolling(*w));
    QVERIFY(operate::slot(*w, landed).picture().isEmpty());
    operate::pressSpace(*w);
    QVERIFY(waitForLanding(*w));
}

void TestReplacement::choosingTheSlotsOwnFileKeepsIt_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("the file itself") << "itself";
    QTest::newRow("a symbolic link to it") << "link";
    QTest::newRow("a path through ..") << "dotdot";
}

void TestReplacement::choosingTheSlotsOwnFileKeepsIt()
{
    QFETCH(QString, how);
    RunFolder run;
    prepare(run);
    auto w = run.openWindow();
    const QString own = pictureFile(run, 4);
    const QByteArray before = readWholeFile(own);
    QVERIFY(!before.isEmpty());
    QString chosen = own;
    if (how == u"link") {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut file on Windows, not a link the file system follows");
#endif
        chosen = run.file(QStringLiteral("link-to-4.jpg"));
        QVERIFY(QFile::link(own, chosen));
    } else if (how == u"dotdot") {
        chosen = run.file(QStringLiteral("奖品图片/../奖品图片/4.jpg"));
    }

    filedialog::Seam dialogs;
    dialogs.queueChoice(chosen);
    doubleClick(operate::slot(*w, 4));

    QCOMPARE(readWholeFile(own), before);
    QCOMPARE(operate::slot(*w, 4).picture(), before);
}

// A file that does not decode is refused, naming it, and nothing is
// copied; a picture of another format named .jpg is taken as it is.
void TestReplacement::onlyPicturesThatDecodeAreCopied()
{
    RunFolder run;
    prepare(run);
    const QByteArray before = readWholeFile(pictureFile(run, 1));
    const QByteArray cut = noisyJpeg(QSize(64, 48), 10).first(40);
    run.writeBytes(QStringLiteral("notes.jpg"), "not a picture at all\r\n");
    run.writeBytes(QStringLiteral("cut.jpg"), cut);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && smallImage().save(&buffer, "PNG"));
    run.writeBytes(QStringLiteral("png.jpg"), png);
    auto w = run.openWindow();
    PictureBox &box = operate::slot(*w, 1);

    messagebox::Seam boxes;
    filedialog::Seam dialogs;
    for (const QString &name : {u"notes.jpg"_qs, u"cut.jpg"_qs}) {
        dialogs.queueChoice(run.file(name));
        doubleClick(box);
        QCOMPARE(readWholeFile(pictureFile(run, 1)), before);
        QCOMPARE(box.picture(), before);
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts()[0].contains(QDir::toNativeSeparators(run.file(name))),
                 qPrintable(boxes.texts()[0]));
        boxes.clear();
    }
    dialogs.queueChoice(run.file(QStringLiteral("png.jpg")));
    doubleClick(box);
    QVERIFY(boxes.texts().isEmpty());
    QCOMPARE(readWholeFile(pictureFile(run, 1)), png);
    QCOMPARE(box.picture(), png);
}

// The roll timer keeps ticking around the dialog, and the roll goes on to
// land with every box showing its file, the new one included.
void TestReplacement::worksWhileRolling()
{
    RunFolder run;
    prepare(run);
    const QByteArray fresh = smallJpeg(Qt::green);
    run.writeBytes(QStringLiteral("fresh.jpg"), fresh);
    auto w = run.openWindow();
    RollTicks ticks(*w);
    operate::pressSpace(*w);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, kPatienceMs);

    filedialog::Seam dialogs;
    dialogs.queueChoice(run.file(QStringLiteral("fresh.jpg")));
    doubleClick(operate::slot(*w, 7));

    QCOMPARE(readWholeFile(pictureFile(run, 7)), fresh);
    QCOMPARE(operate::slot(*w, 7).picture(), fresh);
    QVERIFY(isRolling(*w));
    const int before = ticks.count();
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= before + 9, kPatienceMs);
    QVERIFY(isRolling(*w));
    operate::pressSpace(*w);
    QVERIFY(waitForLanding(*w));
    for (int slot = 1; slot <= 8; ++slot)
        QCOMPARE(operate::slot(*w, slot).picture(), readWholeFile(pictureFile(run, slot)));
    QCOMPARE(operate::slot(*w, 7).picture(), fresh);
}

// The picture folder deleted while the program runs: a replacement makes it
// again instead of failing without a word.
void TestReplacement::folderRemovedSinceStartUpIsMadeAgain()
{
    RunFolder run;
    const QByteArray picture = smallJpeg(Qt::green);
    run.writeBytes(QStringLiteral("new.jpg"), picture);
    auto w = run.openWindow();
    QVERIFY(QDir(run.file(QStringLiteral("奖品图片"))).removeRecursively());

    filedialog::Seam dialogs;
    dialogs.queueChoice(run.file(QStringLiteral("new.jpg")));
    doubleClick(operate::slot(*w, 3));
    QCOMPARE(readWholeFile(pictureFile(run, 3)), picture);
    QCOMPARE(operate::slot(*w, 3).picture(), picture);
}

QTEST_MAIN(TestReplacement)
#include "test_replacement.moc"
