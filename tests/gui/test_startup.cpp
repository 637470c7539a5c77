// Start-up of the main window on prepared run folders, offscreen.
#include "support_mainwindow.h"
#include "support_runfolder.h"

#include "core/keys.h"
#include "display/wheellayout.h"
#include "widgets/controls.h"
#include "widgets/fontsize.h"
#include "widgets/imagedecode.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

QSize screenSize()
{
    return QGuiApplication::primaryScreen()->geometry().size();
}

QString config(const QString &zbtLines, const QString &yanseLines = {})
{
    QString text = QStringLiteral("[zbt]\r\n") + zbtLines;
    if (!yanseLines.isEmpty())
        text += QStringLiteral("[yanse]\r\n") + yanseLines;
    return text;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshFolderShowsDefaults();
    void positionsApplyIndependently();
    void wheelSizeFromSettings_data();
    void wheelSizeFromSettings();
    void unknownStyleKeepsFaceOne();
    void storedStyleChecksItsItem();
    void titleFontNeedsColourKey();
    void titleFontAppliedWithColour();
    void letterWidthGivesZero();
    void windowedIsScreenMinusTwenty();
    void wheelGeometryOnWidgets_data();
    void wheelGeometryOnWidgets();
    void absurdWheelSizesStayBounded_data();
    void absurdWheelSizesStayBounded();
    void badPicturesLeaveBoxesEmpty();
    void hiddenEnlargeItemAndMenuTree();
};

void TestStartup::freshFolderShowsDefaults()
{
    RunFolder run;
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    QCOMPARE(c.resultWidthEdit->text(), QStringLiteral("200"));
    QCOMPARE(c.resultHeightEdit->text(), QStringLiteral("160"));
    QCOMPARE(c.rollSpeedEdit->text(), QStringLiteral("30"));
    QCOMPARE(c.autoStopEdit->text(), QStringLiteral("0"));
    QCOMPARE(c.wheelSizeEdit->text(), QStringLiteral("0"));
    QVERIFY(!c.effectsDisabledBox->isChecked());
    QCOMPARE(w->geometry(), QRect(QPoint(0, 0), screenSize()));
    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(parts(w).menu().fullScreen->isChecked());
    QVERIFY(!parts(w).menu().windowed->isChecked());
    QVERIFY(parts(w).menu().styles[0]->isChecked());
    QCOMPARE(c.face->picture(), WheelLayout::face(1));
    QVERIFY(parts(w).menu().enableMusic->isChecked());
    QVERIFY(!parts(w).menu().disableMusic->isChecked());
    QCOMPARE(parts(w).draw().table().values, PrizeTable::defaults().values);
    // The design captions stay; every slot is empty because no file exists.
    QCOMPARE(c.mainTitle->text(), QStringLiteral("某某大卖场购物有奖活动"));
    QCOMPARE(c.subTitle->text(), QStringLiteral("--- 现场抽奖仪式 ---"));
    for (PictureBox *slot : c.slots)
        QVERIFY(slot->picture().isEmpty());
    QVERIFY(QFileInfo(run.file(QStringLiteral("奖品图片"))).isDir());
    QCOMPARE(run.readGbk(QStringLiteral("config.a")), QStringLiteral("[zbt]\r\n界面大小=全屏\r\n"));
    QVERIFY(!QFile::exists(run.file(QStringLiteral("jieguo.a"))));
    // The wheel is centred horizontally and keeps its design top.
    QCOMPARE(c.wheelFrame->pos(), QPoint((screenSize().width() - 500) / 2, 160));
}

void TestStartup::positionsApplyIndependently()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"),
                 config(QStringLiteral("外形框1左边=40\r\n主标题顶边=-30\r\n中奖图片左边=abc\r\n")));
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    QCOMPARE(c.wheelFrame->pos(), QPoint(40, 160));
    QCOMPARE(c.mainTitle->pos(), QPoint(8, -30));
    QCOMPARE(c.resultPicture->pos(), QPoint(0, 440));
}

void TestStartup::wheelSizeFromSettings_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QSize>("frame");
    QTest::newRow("3") << QStringLiteral("3") << QSize(665, 665);
    QTest::newRow("-1") << QStringLiteral("-1") << QSize(500, 500);
    QTest::newRow("letters") << QStringLiteral("abc") << QSize(500, 500);
}

void TestStartup::wheelSizeFromSettings()
{
    QFETCH(QString, stored);
    QFETCH(QSize, frame);
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("计次=") + stored + QStringLiteral("\r\n")));
    auto w = run.openWindow();
    QCOMPARE(parts(w).controls().wheelSizeEdit->text(), stored);
    QCOMPARE(parts(w).controls().wheelFrame->size(), frame);
    QCOMPARE(parts(w).controls().face->size(), frame);
}

void TestStartup::unknownStyleKeepsFaceOne()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("样式=zp5\r\n")));
    auto w = run.openWindow();
    QCOMPARE(parts(w).controls().face->picture(), WheelLayout::face(1));
    QVERIFY(parts(w).menu().styles[0]->isChecked());
    for (int i = 1; i < 4; ++i)
        QVERIFY(!parts(w).menu().styles[i]->isChecked());
}

void TestStartup::storedStyleChecksItsItem()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("样式=zp3\r\n")));
    auto w = run.openWindow();
    QCOMPARE(parts(w).controls().face->picture(), WheelLayout::face(3));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(parts(w).menu().styles[i]->isChecked(), i == 2);
    QVERIFY(!WheelLayout::face(3).isEmpty());
    QVERIFY(WheelLayout::face(3) != WheelLayout::face(1));
}

void TestStartup::titleFontNeedsColourKey()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"),
                 config({}, QStringLiteral("主标题字体=Noto Sans CJK SC\r\n主标题字体大小=12\r\n")));
    auto w = run.openWindow();
    QCOMPARE(fontsize::points(parts(w).controls().mainTitle->font()), 50);
    QCOMPARE(parts(w).controls().mainTitle->textColour(), QColor(255, 255, 0));
}

void TestStartup::titleFontAppliedWithColour()
{
    RunFolder run;
    // 255 is red in the low byte.
    run.writeGbk(QStringLiteral("config.a"),
                 config({}, QStringLiteral("副标题字体=Noto Sans CJK SC\r\n副标题字体大小=20\r\n副标题字体颜色=255\r\n")));
    auto w = run.openWindow();
    // Stored in points, shown at the pixels 20 points have at 96 dpi.
    QCOMPARE(parts(w).controls().subTitle->font().pixelSize(), 27);
    QCOMPARE(fontsize::points(parts(w).controls().subTitle->font()), 20);
    QCOMPARE(parts(w).controls().subTitle->font().family(), QStringLiteral("Noto Sans CJK SC"));
    QCOMPARE(parts(w).controls().subTitle->textColour(), QColor(255, 0, 0));
    QCOMPARE(parts(w).controls().subTitle->height(), 70); // heights are not changed here
}

void TestStartup::letterWidthGivesZero()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("奖品图片宽=abc\r\n奖品图片高=90\r\n")));
    auto w = run.openWindow();
    QCOMPARE(parts(w).controls().resultPicture->size(), QSize(0, 90));
    QCOMPARE(parts(w).controls().resultWidthEdit->text(), QStringLiteral("0"));
    QCOMPARE(parts(w).controls().resultHeightEdit->text(), QStringLiteral("90"));
}

void TestStartup::windowedIsScreenMinusTwenty()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("界面大小=窗口\r\n")));
    auto w = run.openWindow();
    QVERIFY(!w->windowFlags().testFlag(Qt::FramelessWindowHint));
    // The window with its frame is 20 pixels short of the screen each way;
    // the inside is smaller by the frame, which exists once it is shown.
    w->show();
    QTRY_VERIFY_WITH_TIMEOUT(w->frameGeometry().size() != w->size(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(w->frameGeometry().size(), screenSize() - QSize(20, 20), 10000);
    QVERIFY(w->size().width() < screenSize().width() - 20);
    QVERIFY(parts(w).menu().windowed->isChecked());
    QVERIFY(!parts(w).menu().fullScreen->isChecked());
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(QStringLiteral("界面大小=窗口")));
    w->setFullScreen();
    QTRY_COMPARE_WITH_TIMEOUT(w->frameGeometry(), QRect(QPoint(0, 0), screenSize()), 10000);
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(QStringLiteral("界面大小=全屏")));
    // Chosen again from the menu, the window is framed anew.
    parts(w).menu().windowed->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(w->frameGeometry().size(), screenSize() - QSize(20, 20), 10000);
}

void TestStartup::wheelGeometryOnWidgets_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("frame");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QRect>("caption");
    QTest::addColumn<int>("font");   // points
    QTest::addColumn<int>("pixels"); // as shown
    QTest::addColumn<QPoint>("slot1");
    QTest::addColumn<QPoint>("slot4");
    QTest::addColumn<QPoint>("slot8");
    QTest::newRow("0") << 0 << 500 << QSize(106, 65) << QRect(205, 192, 96, 112) << 30 << 40 << QPoint(132, 69) << QPoint(347, 268) << QPoint(42, 172);
    QTest::newRow("1") << 1 << 550 << QSize(116, 71) << QRect(225, 211, 105, 123) << 33 << 44 << QPoint(145, 75) << QPoint(381, 294) << QPoint(46, 189);
    QTest::newRow("2") << 2 << 605 << QSize(127, 78) << QRect(247, 232, 115, 135) << 36 << 48 << QPoint(159, 82) << QPoint(419, 323) << QPoint(50, 207);
    QTest::newRow("3") << 3 << 665 << QSize(139, 85) << QRect(271, 255, 126, 148) << 39 << 52 << QPoint(174, 90) << QPoint(460, 355) << QPoint(55, 227);
    QTest::newRow("4") << 4 << 731 << QSize(152, 93) << QRect(298, 280, 138, 162) << 42 << 56 << QPoint(191, 99) << QPoint(506, 390) << QPoint(60, 249);
}

void TestStartup::wheelGeometryOnWidgets()
{
    QFETCH(int, n);
    RunFolder run;
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    const QPoint framePos = c.wheelFrame->pos();
    parts(w).wheel().applySize(n);
    QTEST(c.wheelFrame->width(), "frame");
    QTEST(c.face->width(), "frame");
    QTEST(c.slots[0]->size(), "box");
    QTEST(c.startCaption->geometry(), "caption");
    QTEST(c.stopCaption->geometry(), "caption");
    QTEST(fontsize::points(c.startCaption->font()), "font");
    QTEST(c.startCaption->font().pixelSize(), "pixels");
    QTEST(c.stopCaption->font().pixelSize(), "pixels");
    QTEST(c.slots[0]->pos(), "slot1");
    QTEST(c.slots[3]->pos(), "slot4");
    QTEST(c.slots[7]->pos(), "slot8");
    QCOMPARE(c.wheelFrame->pos(), framePos);
    // The clip is the disc inscribed in the frame.
    const int size = c.wheelFrame->width();
    const QRegion mask = c.wheelFrame->mask();
    QVERIFY(mask.contains(QPoint(size / 2, size / 2)));
    QVERIFY(!mask.contains(QPoint(2, 2)));
    QVERIFY(!mask.contains(QPoint(size - 3, size - 3)));
    QVERIFY(mask.contains(QPoint(size / 2, 2)));
}

void TestStartup::absurdWheelSizesStayBounded_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("100") << QStringLiteral("100");
    QTest::newRow("1e9") << QStringLiteral("1e9");
}

void TestStartup::absurdWheelSizesStayBounded()
{
    QFETCH(QString, stored);
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("计次=") + stored + QStringLiteral("\r\n")));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    // Painting such a wheel must finish; only what is on screen is drawn.
    const QPixmap shot = w->grab();
    QVERIFY(!shot.isNull());
    QVERIFY(parts(w).controls().wheelFrame->width() > 10000);
    // A huge wheel's clip is a rounded square: its visible corner is inside.
    const QRegion mask = parts(w).controls().wheelFrame->mask();
    QVERIFY(!mask.isEmpty());
    QVERIFY(mask.rectCount() < 100000);
}

void TestStartup::badPicturesLeaveBoxesEmpty()
{
    RunFolder run;
    QByteArray random(4096, Qt::Uninitialized);
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) & 0xff);
    // A JPEG header claiming 60000 × 60000 with no data behind it.
    QByteArray huge = QByteArray::fromHex("ffd8ffc0001108ea60ea6003012200021101031101ffd9");
    run.writeBytes(QStringLiteral("奖品图片/1.jpg"), random);
    run.writeBytes(QStringLiteral("奖品图片/2.jpg"), QByteArray());
    run.writeBytes(QStringLiteral("奖品图片/3.jpg"), huge);
    QDir().mkpath(run.file(QStringLiteral("奖品图片/4.jpg"))); // a folder named like a picture
    run.writeBytes(QStringLiteral("底图.jpg"), random.left(100));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QImage shot = w->grab().toImage();
    QVERIFY(!shot.isNull());
    QVERIFY(parts(w).controls().slots[3]->picture().isEmpty());
    QCOMPARE(parts(w).controls().slots[0]->picture(), random);
    // No background decodes: the window is red.
    QCOMPARE(shot.pixelColor(5, shot.height() - 5), QColor(255, 0, 0));
    // Bytes that failed to decode are not tried again at every repaint (each
    // roll tick repaints the window under the slots).
    const int lookups = imagedecode::cacheHits() + imagedecode::cacheMisses();
    w->grab();
    w->grab();
    QCOMPARE(imagedecode::cacheHits() + imagedecode::cacheMisses(), lookups);
}

void TestStartup::hiddenEnlargeItemAndMenuTree()
{
    RunFolder run;
    auto w = run.openWindow();
    const MainMenu &m = parts(w).menu();
    QVERIFY(!m.enlarge->isVisible());
    QStringList top;
    for (QAction *a : m.root->actions())
        top << a->objectName();
    QCOMPARE(top, QStringList({QStringLiteral("奖项设置"), QStringLiteral("其它设置"), QStringLiteral("转盘放大"),
                               QStringLiteral("主标题"), QStringLiteral("副标题"), QStringLiteral("中奖结果"),
                               QStringLiteral("转盘样式"), QStringLiteral("字体颜色设置"), QStringLiteral("背景图控制"),
                               QStringLiteral("背景音乐控制"), QStringLiteral("界面大小"), QStringLiteral("公开抽奖"),
                               QStringLiteral("帮助"),
                               QStringLiteral("关于"), QStringLiteral("退出")}));
    for (PictureBox *slot : parts(w).controls().slots)
        QCOMPARE(slot->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(parts(w).controls().face->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
