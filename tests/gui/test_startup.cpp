// Start-up of the main window on prepared run folders, offscreen.
#include "support_operator.h"
#include "support_runfolder.h"

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

QLineEdit &edit(const QWidget &w, const QString &name)
{
    return control<QLineEdit>(w, name);
}

QWidget &widget(const QWidget &w, const QString &name)
{
    return control<QWidget>(w, name);
}

TransparentLabel &label(const QWidget &w, const QString &name)
{
    return control<TransparentLabel>(w, name);
}

QAction &item(const QWidget &w, const QString &text)
{
    return control<QAction>(w, text);
}

const QString kStyles[4] = {QStringLiteral("样式一"), QStringLiteral("样式二"), QStringLiteral("样式三"),
                            QStringLiteral("样式四")};

} // namespace

using operate::slot;

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
    QCOMPARE(edit(*w, QStringLiteral("编辑框_奖品图片宽")).text(), QStringLiteral("200"));
    QCOMPARE(edit(*w, QStringLiteral("编辑框_奖品图片高")).text(), QStringLiteral("160"));
    QCOMPARE(edit(*w, QStringLiteral("编辑框_滚动速度")).text(), QStringLiteral("30"));
    QCOMPARE(edit(*w, QStringLiteral("编辑框_自动停止")).text(), QStringLiteral("0"));
    QCOMPARE(edit(*w, QStringLiteral("编辑框_转盘大小")).text(), QStringLiteral("0"));
    QVERIFY(!control<QCheckBox>(*w, QStringLiteral("选择框_禁用特效")).isChecked());
    QCOMPARE(w->geometry(), QRect(QPoint(0, 0), screenSize()));
    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(item(*w, QStringLiteral("全屏")).isChecked());
    QVERIFY(!item(*w, QStringLiteral("窗口")).isChecked());
    QVERIFY(item(*w, kStyles[0]).isChecked());
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框_背景")).picture(), WheelLayout::face(1));
    QVERIFY(item(*w, QStringLiteral("启用背景音乐")).isChecked());
    QVERIFY(!item(*w, QStringLiteral("禁用背景音乐")).isChecked());
    // The design captions stay; every slot is empty because no file exists.
    QCOMPARE(label(*w, QStringLiteral("透明标签_主标题")).text(), QStringLiteral("某某大卖场购物有奖活动"));
    QCOMPARE(label(*w, QStringLiteral("透明标签_副标题")).text(), QStringLiteral("--- 现场抽奖仪式 ---"));
    for (int n = 1; n <= 8; ++n)
        QVERIFY(slot(*w, n).picture().isEmpty());
    QVERIFY(QFileInfo(run.file(QStringLiteral("奖品图片"))).isDir());
    QCOMPARE(run.readGbk(QStringLiteral("config.a")), QStringLiteral("[zbt]\r\n界面大小=全屏\r\n"));
    QVERIFY(!QFile::exists(run.file(QStringLiteral("jieguo.a"))));
    // The wheel is centred horizontally and keeps its design top.
    QCOMPARE(widget(*w, QStringLiteral("外形框1")).pos(), QPoint((screenSize().width() - 500) / 2, 160));
}

void TestStartup::positionsApplyIndependently()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"),
                 config(QStringLiteral("外形框1左边=40\r\n主标题顶边=-30\r\n中奖图片左边=abc\r\n")));
    auto w = run.openWindow();
    QCOMPARE(widget(*w, QStringLiteral("外形框1")).pos(), QPoint(40, 160));
    QCOMPARE(widget(*w, QStringLiteral("透明标签_主标题")).pos(), QPoint(8, -30));
    QCOMPARE(widget(*w, QStringLiteral("图片框a_结果")).pos(), QPoint(0, 440));
}

void TestStartup::wheelSizeFromSettings_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QSize>("frame");
    // How a stored text becomes a size is the core's; the box shows it as stored.
    QTest::newRow("3") << QStringLiteral("3") << QSize(665, 665);
    QTest::newRow("letters") << QStringLiteral("abc") << QSize(500, 500);
}

void TestStartup::wheelSizeFromSettings()
{
    QFETCH(QString, stored);
    QFETCH(QSize, frame);
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("计次=") + stored + QStringLiteral("\r\n")));
    auto w = run.openWindow();
    QCOMPARE(edit(*w, QStringLiteral("编辑框_转盘大小")).text(), stored);
    QCOMPARE(widget(*w, QStringLiteral("外形框1")).size(), frame);
    QCOMPARE(widget(*w, QStringLiteral("图片框_背景")).size(), frame);
}

void TestStartup::unknownStyleKeepsFaceOne()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("样式=zp5\r\n")));
    auto w = run.openWindow();
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框_背景")).picture(), WheelLayout::face(1));
    QVERIFY(item(*w, kStyles[0]).isChecked());
    for (int i = 1; i < 4; ++i)
        QVERIFY(!item(*w, kStyles[i]).isChecked());
}

void TestStartup::storedStyleChecksItsItem()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("样式=zp3\r\n")));
    auto w = run.openWindow();
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框_背景")).picture(), WheelLayout::face(3));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(item(*w, kStyles[i]).isChecked(), i == 2);
    QVERIFY(!WheelLayout::face(3).isEmpty());
    QVERIFY(WheelLayout::face(3) != WheelLayout::face(1));
}

void TestStartup::titleFontNeedsColourKey()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"),
                 config({}, QStringLiteral("主标题字体=Noto Sans CJK SC\r\n主标题字体大小=12\r\n")));
    auto w = run.openWindow();
    const TransparentLabel &title = label(*w, QStringLiteral("透明标签_主标题"));
    QCOMPARE(fontsize::points(title.font()), 50);
    QCOMPARE(title.textColour(), QColor(255, 255, 0));
}

void TestStartup::titleFontAppliedWithColour()
{
    RunFolder run;
    // 255 is red in the low byte.
    run.writeGbk(QStringLiteral("config.a"),
                 config({}, QStringLiteral("副标题字体=Noto Sans CJK SC\r\n副标题字体大小=20\r\n副标题字体颜色=255\r\n")));
    auto w = run.openWindow();
    // Stored in points, shown at the pixels 20 points have at 96 dpi.
    const TransparentLabel &title = label(*w, QStringLiteral("透明标签_副标题"));
    QCOMPARE(title.font().pixelSize(), 27);
    QCOMPARE(fontsize::points(title.font()), 20);
    QCOMPARE(title.font().family(), QStringLiteral("Noto Sans CJK SC"));
    QCOMPARE(title.textColour(), QColor(255, 0, 0));
    QCOMPARE(title.height(), 70); // heights are not changed here
}

void TestStartup::letterWidthGivesZero()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), config(QStringLiteral("奖品图片宽=abc\r\n奖品图片高=90\r\n")));
    auto w = run.openWindow();
    QCOMPARE(widget(*w, QStringLiteral("图片框a_结果")).size(), QSize(0, 90));
    QCOMPARE(edit(*w, QStringLiteral("编辑框_奖品图片宽")).text(), QStringLiteral("0"));
    QCOMPARE(edit(*w, QStringLiteral("编辑框_奖品图片高")).text(), QStringLiteral("90"));
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
    QVERIFY(item(*w, QStringLiteral("窗口")).isChecked());
    QVERIFY(!item(*w, QStringLiteral("全屏")).isChecked());
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(QStringLiteral("界面大小=窗口")));
    item(*w, QStringLiteral("全屏")).trigger();
    QTRY_COMPARE_WITH_TIMEOUT(w->frameGeometry(), QRect(QPoint(0, 0), screenSize()), 10000);
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(QStringLiteral("界面大小=全屏")));
    // Chosen again from the menu, the window is framed anew.
    item(*w, QStringLiteral("窗口")).trigger();
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
    // The geometry of every size is the core's table; this is the one size
    // that shows it reaches the widgets from the options panel.
    QTest::newRow("3") << 3 << 665 << QSize(139, 85) << QRect(271, 255, 126, 148) << 39 << 52 << QPoint(174, 90) << QPoint(460, 355) << QPoint(55, 227);
}

void TestStartup::wheelGeometryOnWidgets()
{
    QFETCH(int, n);
    RunFolder run;
    auto w = run.openWindow();
    QWidget &frame = widget(*w, QStringLiteral("外形框1"));
    const QWidget &start = widget(*w, QStringLiteral("透明标签_开始"));
    const QWidget &stop = widget(*w, QStringLiteral("透明标签_结束"));
    const QPoint framePos = frame.pos();
    operate::saveWheelSize(*w, n);
    QTEST(frame.width(), "frame");
    QTEST(widget(*w, QStringLiteral("图片框_背景")).width(), "frame");
    QTEST(slot(*w, 1).size(), "box");
    QTEST(start.geometry(), "caption");
    QTEST(stop.geometry(), "caption");
    QTEST(fontsize::points(start.font()), "font");
    QTEST(start.font().pixelSize(), "pixels");
    QTEST(stop.font().pixelSize(), "pixels");
    QTEST(slot(*w, 1).pos(), "slot1");
    QTEST(slot(*w, 4).pos(), "slot4");
    QTEST(slot(*w, 8).pos(), "slot8");
    QCOMPARE(frame.pos(), framePos);
    QCOMPARE(storedValue(run, QStringLiteral("计次")), QString::number(n));
    // The clip is the disc inscribed in the frame.
    const int size = frame.width();
    const QRegion mask = frame.mask();
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
    QVERIFY(widget(*w, QStringLiteral("外形框1")).width() > 10000);
    // A huge wheel's clip is a rounded square: its visible corner is inside.
    const QRegion mask = widget(*w, QStringLiteral("外形框1")).mask();
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
    QVERIFY(slot(*w, 4).picture().isEmpty());
    QCOMPARE(slot(*w, 1).picture(), random);
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
    QVERIFY(!item(*w, QStringLiteral("转盘放大")).isVisible());
    QStringList top;
    for (QAction *a : control<QMenu>(*w, QStringLiteral("设置")).actions())
        top << a->objectName();
    QCOMPARE(top, QStringList({QStringLiteral("奖项设置"), QStringLiteral("其它设置"), QStringLiteral("转盘放大"),
                               QStringLiteral("主标题"), QStringLiteral("副标题"), QStringLiteral("中奖结果"),
                               QStringLiteral("转盘样式"), QStringLiteral("字体颜色设置"), QStringLiteral("背景图控制"),
                               QStringLiteral("背景音乐控制"), QStringLiteral("界面大小"), QStringLiteral("公开抽奖"),
                               QStringLiteral("帮助"),
                               QStringLiteral("关于"), QStringLiteral("退出")}));
    for (int n = 1; n <= 8; ++n)
        QCOMPARE(slot(*w, n).cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(widget(*w, QStringLiteral("图片框_背景")).cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
