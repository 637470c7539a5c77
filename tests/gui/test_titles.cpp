// Title texts and fonts, and dragging the titles, the result picture and the
// wheel, on the real main window offscreen.
#include "support_mousedrag.h"
#include "support_operator.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "core/keys.h"
#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/fontsize.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QTest>

namespace {

// One title and everything that belongs to it.
struct TitleParts
{
    TransparentLabel *label;
    QAction *editItem;
    QAction *fontItem;
    QStringView textKey;
    QStringView faceKey;
    QStringView sizeKey;
    QStringView colourKey;
};

TransparentLabel &titleLabel(const QWidget &w, bool main)
{
    return control<TransparentLabel>(w, main ? QStringLiteral("透明标签_主标题") : QStringLiteral("透明标签_副标题"));
}

TitleParts titleParts(const QWidget &w, bool main)
{
    TransparentLabel *label = &titleLabel(w, main);
    if (main)
        return {label, &control<QAction>(w, QStringLiteral("主标题")),
                &control<QAction>(w, QStringLiteral("主标题字体")), keys::kMainTitle, keys::kMainTitleFont,
                keys::kMainTitleFontSize, keys::kMainTitleFontColour};
    return {label, &control<QAction>(w, QStringLiteral("副标题")), &control<QAction>(w, QStringLiteral("副标题字体")),
            keys::kSubTitle, keys::kSubTitleFont, keys::kSubTitleFontSize, keys::kSubTitleFontColour};
}

// What config.a on disk holds for `key`.
QString stored(const RunFolder &run, QStringView key)
{
    return storedValue(run, key.toString());
}

// The result picture shows once a roll has landed.
bool landARoll(const RunFolder &run, const QWidget &w)
{
    operate::pressStartCaption(w);
    operate::pressStopCaption(w);
    return QTest::qWaitFor([&] { return storedWins(run) == 1; }, kPatienceMs);
}

// Prize pictures, a fast roll and no fireworks.
void prepareRolls(const RunFolder &run)
{
    prepareDrawable(run, QStringLiteral("滚动速度=1\r\n禁用特效=真\r\n"));
}

// Colours in the data file: red in the low byte, then green, then blue.
QString storedColour(int r, int g, int b)
{
    return QString::number(r + g * 0x100 + b * 0x10000);
}

QWidgetList stackingOrder(QWidget *window)
{
    QWidgetList order;
    for (QObject *child : window->children())
        if (auto *widget = qobject_cast<QWidget *>(child))
            order << widget;
    return order;
}

} // namespace

class TestTitles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyTitleBringsDesignCaptionBack_data();
    void emptyTitleBringsDesignCaptionBack();
    void editedTitleIsOfferedNextAndCancelKeepsIt();
    void titleTheFileCannotHoldIsRefused();
    void cancelledFontDialogRecordsDesignFont_data();
    void cancelledFontDialogRecordsDesignFont();
    void confirmedFontKeepsEffectsUntilExit();
    void longFaceNameIsCutToThirtyOneBytes();
    void dragMovesAndStores_data();
    void dragMovesAndStores();
    void wrongKeysDoNotDrag_data();
    void wrongKeysDoNotDrag();
    void titlesStayAboveAfterWheelOrPictureDrag();
    void negativePositionSurvivesRestart();
    void dragWithoutMovementStillStores();
    void wheelDraggedIntoViewShowsWhole();
};

void TestTitles::emptyTitleBringsDesignCaptionBack_data()
{
    QTest::addColumn<bool>("main");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("designCaption");
    QTest::newRow("main title") << true << QStringLiteral("请输入主标题")
                                << QStringLiteral("购物有奖活动")
                                << QStringLiteral("某某大卖场购物有奖活动");
    QTest::newRow("subtitle") << false << QStringLiteral("请输入副标题")
                              << QStringLiteral("---现场抽奖仪式---")
                              << QStringLiteral("--- 现场抽奖仪式 ---");
}

void TestTitles::emptyTitleBringsDesignCaptionBack()
{
    QFETCH(bool, main);
    QFETCH(QString, prompt);
    QFETCH(QString, offered);
    QFETCH(QString, designCaption);
    RunFolder run;
    auto w = run.openWindow();
    inputbox::Seam boxes;
    boxes.queueOk(QString());
    titleParts(*w, main).editItem->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked()[0].prompt, prompt);
    QCOMPARE(boxes.asked()[0].caption, prompt);
    QCOMPARE(boxes.asked()[0].initial, offered);
    QCOMPARE(titleParts(*w, main).label->text(), QString());

    w.reset();
    w = run.openWindow();
    QCOMPARE(titleParts(*w, main).label->text(), designCaption);
    boxes.queueCancel();
    titleParts(*w, main).editItem->trigger();
    QCOMPARE(boxes.asked().size(), 2);
    QCOMPARE(boxes.asked()[1].initial, offered);
}

// Characters GBK lacks are named, and neither the caption nor config.a
// changes: nothing is stored as "?".
void TestTitles::titleTheFileCannotHoldIsRefused()
{
    RunFolder run;
    auto w = run.openWindow();
    const TitleParts title = titleParts(*w, false);
    inputbox::Seam answers;
    answers.queueOk(QStringLiteral("年会"));
    answers.queueOk(QStringLiteral("年会😀𠀀"));
    messagebox::Seam boxes;
    title.editItem->trigger();
    title.editItem->trigger();
    QCOMPARE(title.label->text(), QStringLiteral("年会"));
    QCOMPARE(stored(run, title.textKey), QStringLiteral("年会"));
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY2(boxes.texts()[0].startsWith(QStringLiteral("副标题中有程序的文件无法保存的字符：“😀”(U+1F600)、“𠀀”(U+20000)")),
             qPrintable(boxes.texts()[0]));
}

void TestTitles::editedTitleIsOfferedNextAndCancelKeepsIt()
{
    RunFolder run;
    auto w = run.openWindow();
    inputbox::Seam boxes;
    const QString title = QStringLiteral("  春节联欢 抽奖 ");
    boxes.queueOk(title);
    boxes.queueCancel();
    titleParts(*w, true).editItem->trigger();
    QCOMPARE(titleLabel(*w, true).text(), title);
    titleParts(*w, true).editItem->trigger();
    QCOMPARE(boxes.asked()[1].initial, title.trimmed()); // the file keeps no outer blanks
    QCOMPARE(titleLabel(*w, true).text(), title);
    QCOMPARE(stored(run, keys::kMainTitle).trimmed(), title.trimmed()); // an INI value's outer blanks are not read
    w.reset();
    w = run.openWindow();
    QCOMPARE(titleLabel(*w, true).text(), title.trimmed());
}

void TestTitles::cancelledFontDialogRecordsDesignFont_data()
{
    QTest::addColumn<bool>("main");
    QTest::newRow("main title") << true;
    QTest::newRow("subtitle") << false;
}

void TestTitles::cancelledFontDialogRecordsDesignFont()
{
    QFETCH(bool, main);
    RunFolder run;
    auto w = run.openWindow();
    TitleParts t = titleParts(*w, main);
    const QFont design = t.label->font();
    const int width = t.label->width();
    FontDialog::Seam dialogs;
    dialogs.queueCancel();
    t.fontItem->trigger();

    QCOMPARE(t.label->font(), design);
    QCOMPARE(stored(run, t.faceKey), design.family());
    // The design's 67 and 40 pixels are 50 and 30 points.
    const int points = main ? 50 : 30;
    QCOMPARE(stored(run, t.sizeKey), QString::number(points));
    QCOMPARE(stored(run, t.colourKey), storedColour(255, 255, 0));
    QCOMPARE(t.label->height(), main ? 90 : 54); // 1.8 times the point size
    QCOMPARE(t.label->width(), width);
    // The dialog first offers the main title's design font, whichever title asks.
    QCOMPARE(dialogs.openedWith().size(), 1);
    const QFont offered = dialogs.openedWith()[0].font;
    QCOMPARE(offered.family(), titleParts(*w, true).label->font().family());
    QCOMPARE(offered.pointSize(), 50);
    QVERIFY(offered.bold());
    QCOMPARE(dialogs.openedWith()[0].colour, QColor(255, 255, 0));
}

void TestTitles::longFaceNameIsCutToThirtyOneBytes()
{
    RunFolder run;
    auto w = run.openWindow();
    // 13 Chinese characters (26 GBK bytes) and 12 letters: 38 bytes.
    QFont chosen(QStringLiteral("中文字体名称很长的一种字体ABCDEFGHIJKL"));
    chosen.setPointSize(20);
    FontDialog::Seam dialogs;
    dialogs.queueOk({chosen, QColor(1, 2, 3)});
    titleParts(*w, false).fontItem->trigger();
    const QString face = stored(run, keys::kSubTitleFont);
    QCOMPARE(gbkCodec().encode(face).size(), 31);
    QVERIFY(chosen.family().startsWith(face));

    // Characters outside the code page (two UTF-16 units each) are cut
    // whole, never leaving half of a pair behind.
    chosen.setFamily(QStringLiteral("中文字体名称很长的一种字体😀😀😀😀😀😀"));
    dialogs.queueOk({chosen, QColor(1, 2, 3)});
    titleParts(*w, false).fontItem->trigger();
    const QString cut = titleLabel(*w, false).font().family();
    QVERIFY(gbkCodec().encode(cut).size() <= 31);
    QVERIFY(!cut.isEmpty() && !cut.back().isHighSurrogate());
    QVERIFY(chosen.family().startsWith(cut));
}

void TestTitles::confirmedFontKeepsEffectsUntilExit()
{
    RunFolder run;
    auto w = run.openWindow();
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(24);
    chosen.setBold(false);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    const FontChoice choice{chosen, QColor(10, 20, 30)};
    FontDialog::Seam dialogs;
    dialogs.queueOk(choice);
    dialogs.queueCancel();
    titleParts(*w, true).fontItem->trigger();

    TransparentLabel *title = &titleLabel(*w, true);
    QCOMPARE(title->font().family(), chosen.family());
    QCOMPARE(fontsize::points(title->font()), 24);
    QVERIFY(!title->font().bold());
    QVERIFY(title->font().italic());
    QVERIFY(title->font().underline());
    QVERIFY(title->font().strikeOut());
    QCOMPARE(title->textColour(), QColor(10, 20, 30));
    QCOMPARE(title->height(), 43); // 24 x 1.8 = 43.2
    QCOMPARE(stored(run, keys::kMainTitleFontColour), storedColour(10, 20, 30));

    // Both titles share the dialog: the subtitle's opens with this choice.
    titleParts(*w, false).fontItem->trigger();
    QCOMPARE(dialogs.openedWith()[1], choice);

    // Face, size and colour survive a restart; the effects do not, and the
    // design's bold comes back.
    w.reset();
    w = run.openWindow();
    title = &titleLabel(*w, true);
    QCOMPARE(title->font().family(), chosen.family());
    QCOMPARE(fontsize::points(title->font()), 24);
    QVERIFY(title->font().bold());
    QVERIFY(!title->font().italic());
    QVERIFY(!title->font().underline());
    QVERIFY(!title->font().strikeOut());
    QCOMPARE(title->textColour(), QColor(10, 20, 30));
}

enum class Element { MainTitle, SubTitle, ResultPicture, WheelFrame, WheelFace };

struct DragCase
{
    QWidget *pressed;
    QWidget *moved;
    QStringView leftKey;
    QStringView topKey;
};

static QWidget *element(const QWidget &w, const QString &name)
{
    return &control<QWidget>(w, name);
}

static DragCase dragCase(const QWidget &w, Element e)
{
    QWidget *frame = element(w, QStringLiteral("外形框1"));
    switch (e) {
    case Element::MainTitle:
        return {&titleLabel(w, true), &titleLabel(w, true), keys::kMainTitleLeft, keys::kMainTitleTop};
    case Element::SubTitle:
        return {&titleLabel(w, false), &titleLabel(w, false), keys::kSubTitleLeft, keys::kSubTitleTop};
    case Element::ResultPicture: {
        QWidget *result = element(w, QStringLiteral("图片框a_结果"));
        return {result, result, keys::kResultLeft, keys::kResultTop};
    }
    case Element::WheelFrame:
        return {frame, frame, keys::kWheelLeft, keys::kWheelTop};
    case Element::WheelFace:
        break;
    }
    return {element(w, QStringLiteral("图片框_背景")), frame, keys::kWheelLeft, keys::kWheelTop};
}

void TestTitles::dragMovesAndStores_data()
{
    QTest::addColumn<Element>("element");
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::newRow("main title, Ctrl") << Element::MainTitle << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("subtitle, Ctrl") << Element::SubTitle << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("result picture, Ctrl") << Element::ResultPicture << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("wheel frame, no key") << Element::WheelFrame << Qt::KeyboardModifiers();
    QTest::newRow("wheel frame, Shift") << Element::WheelFrame << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("wheel face, Ctrl") << Element::WheelFace << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TestTitles::dragMovesAndStores()
{
    QFETCH(Element, element);
    QFETCH(Qt::KeyboardModifiers, keys);
    RunFolder run;
    prepareRolls(run);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    if (element == Element::ResultPicture)
        QVERIFY(landARoll(run, *w));
    const DragCase d = dragCase(*w, element);
    QVERIFY(d.moved->isVisible());
    const QPoint before = d.moved->pos();
    QWidget *face = ::element(*w, QStringLiteral("图片框_背景"));
    const QPoint faceBefore = face->pos();

    dragWithMouse(d.pressed, QPoint(20, 20), QPoint(37, -23), keys);

    QCOMPARE(d.moved->pos(), before + QPoint(37, -23));
    QCOMPARE(face->pos(), faceBefore); // the face never moves inside its frame
    QCOMPARE(stored(run, d.leftKey), QString::number(before.x() + 37));
    QCOMPARE(stored(run, d.topKey), QString::number(before.y() - 23));
    w.reset();
    w = run.openWindow();
    QCOMPARE(dragCase(*w, element).moved->pos(), before + QPoint(37, -23));
}

void TestTitles::wrongKeysDoNotDrag_data()
{
    QTest::addColumn<Element>("element");
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    QTest::newRow("main title, no key") << Element::MainTitle << none;
    QTest::newRow("main title, Ctrl+Shift") << Element::MainTitle << ctrlShift;
    QTest::newRow("subtitle, Ctrl+Alt") << Element::SubTitle << ctrlAlt;
    QTest::newRow("subtitle, Shift") << Element::SubTitle << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("result picture, no key") << Element::ResultPicture << none;
    QTest::newRow("wheel face, no key") << Element::WheelFace << none;
    QTest::newRow("wheel face, Ctrl+Shift") << Element::WheelFace << ctrlShift;
}

void TestTitles::wrongKeysDoNotDrag()
{
    QFETCH(Element, element);
    QFETCH(Qt::KeyboardModifiers, keys);
    RunFolder run;
    prepareRolls(run);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    if (element == Element::ResultPicture)
        QVERIFY(landARoll(run, *w));
    const DragCase d = dragCase(*w, element);
    QVERIFY(d.moved->isVisible());
    const QPoint before = d.moved->pos();
    dragWithMouse(d.pressed, QPoint(20, 20), QPoint(50, 40), keys);
    QCOMPARE(d.moved->pos(), before);
    QVERIFY(stored(run, d.leftKey).isEmpty());
    QVERIFY(stored(run, d.topKey).isEmpty());
}

void TestTitles::titlesStayAboveAfterWheelOrPictureDrag()
{
    RunFolder run;
    prepareRolls(run);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(landARoll(run, *w));
    QWidget *result = element(*w, QStringLiteral("图片框a_结果"));
    QWidget *frame = element(*w, QStringLiteral("外形框1"));
    const auto titlesOnTop = [&] {
        const QWidgetList order = stackingOrder(w.get());
        return order.size() >= 2 && order[order.size() - 2] == &titleLabel(*w, true)
            && order.last() == &titleLabel(*w, false);
    };

    // Each drag starts with the dragged element on top, as the elements'
    // own stacking would leave it.
    result->raise();
    dragWithMouse(result, QPoint(5, 5), QPoint(10, 10), Qt::ControlModifier);
    QVERIFY(titlesOnTop());

    frame->raise();
    dragWithMouse(frame, QPoint(5, 5), QPoint(10, 10));
    QVERIFY(titlesOnTop());

    // Moving the wheel by its face leaves the order alone.
    frame->raise();
    dragWithMouse(element(*w, QStringLiteral("图片框_背景")), QPoint(5, 5), QPoint(10, 10), Qt::ControlModifier);
    QCOMPARE(stackingOrder(w.get()).last(), frame);
}

void TestTitles::negativePositionSurvivesRestart()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    TransparentLabel *title = &titleLabel(*w, true);
    const QPoint before = title->pos();
    const QPoint delta(-before.x() - 120, -before.y() - 30);
    dragWithMouse(title, QPoint(200, 40), delta, Qt::ControlModifier);
    QCOMPARE(title->pos(), QPoint(-120, -30));
    QCOMPARE(stored(run, keys::kMainTitleLeft), QStringLiteral("-120"));
    QCOMPARE(stored(run, keys::kMainTitleTop), QStringLiteral("-30"));
    w.reset();
    w = run.openWindow();
    QCOMPARE(titleLabel(*w, true).pos(), QPoint(-120, -30));
}

void TestTitles::dragWithoutMovementStillStores()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    TransparentLabel *sub = &titleLabel(*w, false);
    QTest::mouseClick(sub, Qt::LeftButton, Qt::ControlModifier, QPoint(30, 30));
    QCOMPARE(stored(run, keys::kSubTitleLeft), QString::number(sub->x()));
    QCOMPARE(stored(run, keys::kSubTitleTop), QString::number(sub->y()));
}

// A wheel stored half off the window is clipped to its visible part; drawn
// back into view it must show whole, not stay cut until the next start.
void TestTitles::wheelDraggedIntoViewShowsWhole()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\n外形框1左边=-300\r\n"));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWidget *frame = element(*w, QStringLiteral("外形框1"));
    QCOMPARE(frame->x(), -300);
    const int size = frame->width();
    QVERIFY(frame->mask().contains(QPoint(size - 10, size / 2)));
    QVERIFY(!frame->mask().contains(QPoint(10, size / 2))); // off the window

    dragWithMouse(frame, QPoint(size - 5, size / 2), QPoint(400, 0));
    QCOMPARE(frame->x(), 100);
    QCOMPARE(stored(run, keys::kWheelLeft), QStringLiteral("100"));
    const QRegion mask = frame->mask();
    QVERIFY(mask.contains(QPoint(size - 10, size / 2)));
    QVERIFY(mask.contains(QPoint(10, size / 2)));
    QVERIFY(!mask.contains(QPoint(2, 2)));
}

QTEST_MAIN(TestTitles)
#include "test_titles.moc"
