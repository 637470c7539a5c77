#include "mainlayout.h"

#include "widgets/controls.h"
#include "core/wheelgeometry.h"
#include "core/wholefile.h"
#include "lottery/rollscreen.h"
#include "editors/optionspanel.h"
#include "widgets/invisiblebutton.h"
#include "widgets/picturebox.h"
#include "widgets/placement.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>

namespace {

// The layout gives its font sizes in pixels: a point size would grow and
// shrink with the screen's resolution and put the wheel's captions out of
// their place.
QFont designFont(const QString &face, int pixels, bool bold)
{
    QFont font(face);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void buildTitles(MainControls &c)
{
    c.mainTitle = named(new TransparentLabel(QStringLiteral("某某大卖场购物有奖活动"), c.window),
                        u"透明标签_主标题", {8, 15, 632, 110});
    c.mainTitle->setTextColour(QColor(255, 255, 0));
    c.mainTitle->setFont(designFont(QStringLiteral("宋体"), 67, true));
    c.subTitle = named(new TransparentLabel(QStringLiteral("--- 现场抽奖仪式 ---"), c.window),
                       u"透明标签_副标题", {8, 104, 632, 70});
    c.subTitle->setTextColour(QColor(255, 255, 0));
    c.subTitle->setFont(designFont(QStringLiteral("宋体"), 40, true));
}

TransparentLabel *centreCaption(MainControls &c, const QString &text, const char16_t *name,
                                QRect geometry)
{
    auto *label = named(new TransparentLabel(text, c.face), name, geometry);
    label->setTextColour(QColor(255, 0, 0));
    label->setFont(designFont(QStringLiteral("隶书"), 40, false));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

void buildSlots(MainControls &c, const WheelGeometry &wheel)
{
    static constexpr const char16_t *kSlotName[8] = {u"图片框1", u"图片框2", u"图片框3", u"图片框4",
                                                     u"图片框5", u"图片框6", u"图片框7", u"图片框8"};
    for (int i = 0; i < 8; ++i) {
        c.slots[i] = named(new PictureBox(c.face), kSlotName[i], wheel.slots[i]);
        c.slots[i]->setCursor(Qt::PointingHandCursor);
    }
    // Until start-up loads the picture files, slots 5 to 8 show the design banners.
    for (int i = 4; i < 8; ++i)
        c.slots[i]->setPicture(readWholeFile(QStringLiteral(":/assets/prize%1.jpg").arg(i + 1)));
}

void buildWheel(MainControls &c)
{
    // The wheel's design size: the same figures the size option enlarges.
    const WheelGeometry wheel = WheelGeometry::design();
    c.wheelFrame = named(new ShapeBox(c.window), u"外形框1", {QPoint(75, 160), wheel.frame});
    c.wheelFrame->setFrameStyle(QFrame::NoFrame);
    c.face = named(new PictureBox(c.wheelFrame), u"图片框_背景", {QPoint(0, 0), wheel.face});
    c.startButton = named(new InvisibleButton(RollScreen::kStartCaption, c.wheelFrame), u"按钮1",
                          {80, 616, 40, 32});
    c.focusTimer = new IntervalTimer(c.wheelFrame);
    c.focusTimer->setObjectName(QStringLiteral("时钟2"));
    c.focusTimer->setInterval(kFocusIntervalMs);
    buildSlots(c, wheel);
    c.startCaption = centreCaption(c, QStringLiteral("开始"), u"透明标签_开始", wheel.startLabel);
    c.stopCaption = centreCaption(c, QStringLiteral("停止"), u"透明标签_结束", wheel.stopLabel);
    c.stopCaption->hide();
}

Label *panelLabel(QWidget *parent, const QString &text, const char16_t *name, QRect geometry)
{
    auto *label = named(new Label(text, parent), name, geometry);
    label->setTextColour(QColor(0, 0, 255));
    return label;
}

QLineEdit *panelEdit(QWidget *parent, const QString &text, const char16_t *name, QRect geometry)
{
    auto *edit = named(new QLineEdit(text, parent), name, geometry);
    edit->setTextMargins(0, 0, 0, 0);
    return edit;
}

void buildPanelHeader(MainControls &c)
{
    QWidget *p = c.optionsPanel;
    c.panelIcon = named(new PictureBox(p), u"图片框9", {4, 3, 16, 16});
    c.panelIcon->setPicture(readWholeFile(QStringLiteral(":/assets/panel_icon.jpg")));
    c.panelTitle = named(new TransparentLabel(QStringLiteral("● 奖项设置"), p), u"透明标签1",
                         {6, -1, 69, 24});
    c.panelTitle->setTextColour(QColor(0, 0, 128));
    c.panelClose = named(new Label(QStringLiteral("メ"), p), u"标签8", {245, 3, 20, 17});
    c.panelClose->setTextColour(QColor(255, 0, 0));
    c.panelClose->setFont(designFont(QStringLiteral("宋体"), 20, true));
    c.panelClose->setAlignment(Qt::AlignCenter);
}

void buildPanelRows(MainControls &c)
{
    QWidget *g = c.panelGroup;
    c.panelSizeLabel = panelLabel(g, QStringLiteral("奖品图片框大小(像素：宽x高)："), u"标签6", {9, 15, 168, 20});
    c.resultWidthEdit = panelEdit(g, QStringLiteral("200"), u"编辑框_奖品图片宽", {181, 16, 28, 25});
    c.panelTimesLabel = named(new Label(QStringLiteral("×"), g), u"标签7", {212, 18, 13, 18});
    c.resultHeightEdit = panelEdit(g, QStringLiteral("160"), u"编辑框_奖品图片高", {229, 16, 28, 25});
    c.panelSpeedLabel = panelLabel(g, QStringLiteral("设置抽奖滚动速度(默认30毫秒):"), u"标签9", {8, 42, 177, 20});
    c.rollSpeedEdit = panelEdit(g, QStringLiteral("30"), u"编辑框_滚动速度", {180, 42, 53, 23});
    c.effectsDisabledBox = named(new QCheckBox(QStringLiteral("禁用特效(中奖后有3种烟花效果随机播放)"), g),
                                 u"选择框_禁用特效", {8, 69, 254, 16});
    c.autoStopEdit = panelEdit(g, QStringLiteral("0"), u"编辑框_自动停止", {8, 94, 36, 18});
    c.panelAutoStopLabel = panelLabel(g, QStringLiteral("秒后自动停止滚动(默认0，需手动停止)"), u"标签1", {48, 89, 214, 24});
    c.wheelSizeEdit = panelEdit(g, QStringLiteral("0"), u"编辑框_转盘大小", {8, 116, 36, 18});
    c.panelWheelSizeLabel = panelLabel(g, QStringLiteral("转盘大小(默认为0,可填0-4逐渐变大)"), u"标签2", {48, 112, 214, 24});
    c.saveButton = named(new QPushButton(QStringLiteral("保存"), g), u"按钮_保存", {60, 144, 128, 32});
    c.saveButton->setFont(designFont(QStringLiteral("宋体"), 14, false));
}

void buildPanel(MainControls &c)
{
    c.optionsPanel = named(new ShapeBox(c.window), u"外形框2", {8, 112, 272, 200});
    c.optionsPanel->setAutoFillBackground(true);
    QPalette palette = c.optionsPanel->palette();
    palette.setColor(QPalette::Window, QColor(236, 240, 248));
    c.optionsPanel->setPalette(palette);
    buildPanelHeader(c);
    c.panelGroup = named(new QGroupBox(c.optionsPanel), u"分组框1", {2, 20, 270, 180});
    buildPanelRows(c);
    c.optionsPanel->hide();
}

void buildFlags(MainControls &c)
{
    c.hotKeyLabel = named(new Label(QString(), c.window), u"标签_zd", {688, 80, 56, 32});
    c.hotKeyLabel->hide();
    c.designationFlag = named(new TransparentLabel(QStringLiteral(" "), c.window), u"透明标签_zd",
                              {632, 136, 64, 48});
    c.designationFlag->hide();
    c.rollTimer = new IntervalTimer(c.window);
    c.rollTimer->setObjectName(QStringLiteral("时钟1"));
    c.autoStopTimer = new IntervalTimer(c.window);
    c.autoStopTimer->setObjectName(QStringLiteral("时钟3_自动停止"));
}

} // namespace

MainControls buildMainLayout(QWidget *window)
{
    installFontSubstitutes();
    MainControls c;
    c.window = window;
    buildWheel(c);
    c.resultPicture = named(new PictureBox(window), u"图片框a_结果", {20, 440, 200, 160});
    c.resultPicture->hide();
    buildTitles(c);
    buildPanel(c);
    buildFlags(c);
    return c;
}

void installFontSubstitutes()
{
    // Bold serif faces read best on a projector; the clerical-script face of
    // the centre captions has no free equivalent, a heavy serif comes closest.
    const QStringList serif = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("SimSun")};
    for (const char *face : {"宋体", "隶书", "SimSun"}) {
        const QString name = QString::fromUtf8(face);
        if (!QFontDatabase::families().contains(name))
            QFont::insertSubstitutions(name, serif);
    }
}
