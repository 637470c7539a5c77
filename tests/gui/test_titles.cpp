// Title texts and fonts, and dragging the titles, the result picture and the
// wheel, on the real main window offscreen.
#include "support_mainwindow.h"
#include "support_mousedrag.h"
#include "support_runfolder.h"

#include "core/keys.h"
#include "core/settingsfile.h"
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

TitleParts titleParts(MainWindow &w, bool main)
{
    MainControls &c = parts(w).controls();
    MainMenu &m = parts(w).menu();
    if (main)
        return {c.mainTitle, m.mainTitle, m.mainTitleFont, keys::kMainTitle, keys::kMainTitleFont,
                keys::kMainTitleFontSize, keys::kMainTitleFontColour};
    return {c.subTitle, m.subTitle, m.subTitleFont, keys::kSubTitle, keys::kSubTitleFont,
            keys::kSubTitleFontSize, keys::kSubTitleFontColour};
}

QString yanse(MainWindow &w, QStringView key)
{
    return parts(w).settings().read(DataFile::Config, keys::kYanse, key);
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
    QCOMPARE(parts(w).settings().readSetting(title.textKey), QStringLiteral("年会"));
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
    parts(w).menu().mainTitle->trigger();
    QCOMPARE(parts(w).controls().mainTitle->text(), title);
    parts(w).menu().mainTitle->trigger();
    QCOMPARE(boxes.asked()[1].initial, title.trimmed()); // the file keeps no outer blanks
    QCOMPARE(parts(w).controls().mainTitle->text(), title);
    QCOMPARE(parts(w).settings().readSetting(keys::kMainTitle), title.trimmed());
    w.reset();
    w = run.openWindow();
    QCOMPARE(parts(w).controls().mainTitle->text(), title.trimmed());
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
    QCOMPARE(yanse(*w, t.faceKey), design.family());
    // The design's 67 and 40 pixels are 50 and 30 points.
    const int points = main ? 50 : 30;
    QCOMPARE(yanse(*w, t.sizeKey), QString::number(points));
    QCOMPARE(yanse(*w, t.colourKey), storedColour(255, 255, 0));
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
    parts(w).menu().subTitleFont->trigger();
    const QString stored = yanse(*w, keys::kSubTitleFont);
    QCOMPARE(gbkCodec().encode(stored).size(), 31);
    QVERIFY(chosen.family().startsWith(stored));

    // Characters outside the code page (two UTF-16 units each) are cut
    // whole, never leaving half of a pair behind.
    chosen.setFamily(QStringLiteral("中文字体名称很长的一种字体😀😀😀😀😀😀"));
    dialogs.queueOk({chosen, QColor(1, 2, 3)});
    parts(w).menu().subTitleFont->trigger();
    const QString cut = parts(w).controls().subTitle->font().family();
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
    parts(w).menu().mainTitleFont->trigger();

    TransparentLabel *title = parts(w).controls().mainTitle;
    QCOMPARE(title->font().family(), chosen.family());
    QCOMPARE(fontsize::points(title->font()), 24);
    QVERIFY(!title->font().bold());
    QVERIFY(title->font().italic());
    QVERIFY(title->font().underline());
    QVERIFY(title->font().strikeOut());
    QCOMPARE(title->textColour(), QColor(10, 20, 30));
    QCOMPARE(title->height(), 43); // 24 x 1.8 = 43.2
    QCOMPARE(yanse(*w, keys::kMainTitleFontColour), storedColour(10, 20, 30));

    // Both titles share the dialog: the subtitle's opens with this choice.
    parts(w).menu().subTitleFont->trigger();
    QCOMPARE(dialogs.openedWith()[1], choice);

    // Face, size and colour survive a restart; the effects do not, and the
    // design's bold comes back.
    w.reset();
    w = run.openWindow();
    title = parts(w).controls().mainTitle;
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

static DragCase dragCase(MainWindow &w, Element e)
{
    MainControls &c = parts(w).controls();
    switch (e) {
    case Element::MainTitle:
        return {c.mainTitle, c.mainTitle, keys::kMainTitleLeft, keys::kMainTitleTop};
    case Element::SubTitle:
        return {c.subTitle, c.subTitle, keys::kSubTitleLeft, keys::kSubTitleTop};
    case Element::ResultPicture:
        return {c.resultPicture, c.resultPicture, keys::kResultLeft, keys::kResultTop};
    case Element::WheelFrame:
        return {c.wheelFrame, c.wheelFrame, keys::kWheelLeft, keys::kWheelTop};
    case Element::WheelFace:
        break;
    }
    return {c.face, c.wheelFrame, keys::kWheelLeft, keys::kWheelTop};
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
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    parts(w).controls().resultPicture->show();
    const DragCase d = dragCase(*w, element);
    const QPoint before = d.moved->pos();
    const QPoint faceBefore = parts(w).controls().face->pos();

    dragWithMouse(d.pressed, QPoint(20, 20), QPoint(37, -23), keys);

    QCOMPARE(d.moved->pos(), before + QPoint(37, -23));
    QCOMPARE(parts(w).controls().face->pos(), faceBefore); // the face never moves inside its frame
    QCOMPARE(parts(w).settings().readSetting(d.leftKey), QString::number(before.x() + 37));
    QCOMPARE(parts(w).settings().readSetting(d.topKey), QString::number(before.y() - 23));
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
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    parts(w).controls().resultPicture->show();
    const DragCase d = dragCase(*w, element);
    const QPoint before = d.moved->pos();
    dragWithMouse(d.pressed, QPoint(20, 20), QPoint(50, 40), keys);
    QCOMPARE(d.moved->pos(), before);
    QVERIFY(parts(w).settings().readSetting(d.leftKey).isEmpty());
    QVERIFY(parts(w).settings().readSetting(d.topKey).isEmpty());
}

void TestTitles::titlesStayAboveAfterWheelOrPictureDrag()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    MainControls &c = parts(w).controls();
    c.resultPicture->show();
    const auto titlesOnTop = [&] {
        const QWidgetList order = stackingOrder(w.get());
        return order.size() >= 2 && order[order.size() - 2] == c.mainTitle && order.last() == c.subTitle;
    };

    c.resultPicture->raise();
    dragWithMouse(c.resultPicture, QPoint(5, 5), QPoint(10, 10), Qt::ControlModifier);
    QVERIFY(titlesOnTop());

    c.wheelFrame->raise();
    dragWithMouse(c.wheelFrame, QPoint(5, 5), QPoint(10, 10));
    QVERIFY(titlesOnTop());

    // Moving the wheel by its face leaves the order alone.
    c.wheelFrame->raise();
    dragWithMouse(c.face, QPoint(5, 5), QPoint(10, 10), Qt::ControlModifier);
    QCOMPARE(stackingOrder(w.get()).last(), c.wheelFrame);
}

void TestTitles::negativePositionSurvivesRestart()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    TransparentLabel *title = parts(w).controls().mainTitle;
    const QPoint before = title->pos();
    const QPoint delta(-before.x() - 120, -before.y() - 30);
    dragWithMouse(title, QPoint(200, 40), delta, Qt::ControlModifier);
    QCOMPARE(title->pos(), QPoint(-120, -30));
    QCOMPARE(parts(w).settings().readSetting(keys::kMainTitleLeft), QStringLiteral("-120"));
    QCOMPARE(parts(w).settings().readSetting(keys::kMainTitleTop), QStringLiteral("-30"));
    w.reset();
    w = run.openWindow();
    QCOMPARE(parts(w).controls().mainTitle->pos(), QPoint(-120, -30));
}

void TestTitles::dragWithoutMovementStillStores()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    TransparentLabel *sub = parts(w).controls().subTitle;
    QTest::mouseClick(sub, Qt::LeftButton, Qt::ControlModifier, QPoint(30, 30));
    QCOMPARE(parts(w).settings().readSetting(keys::kSubTitleLeft), QString::number(sub->x()));
    QCOMPARE(parts(w).settings().readSetting(keys::kSubTitleTop), QString::number(sub->y()));
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
    QWidget *frame = parts(w).controls().wheelFrame;
    QCOMPARE(frame->x(), -300);
    const int size = frame->width();
    QVERIFY(frame->mask().contains(QPoint(size - 10, size / 2)));
    QVERIFY(!frame->mask().contains(QPoint(10, size / 2))); // off the window

    dragWithMouse(frame, QPoint(size - 5, size / 2), QPoint(400, 0));
    QCOMPARE(frame->x(), 100);
    QCOMPARE(parts(w).settings().readSetting(keys::kWheelLeft), QStringLiteral("100"));
    const QRegion mask = frame->mask();
    QVERIFY(mask.contains(QPoint(size - 10, size / 2)));
    QVERIFY(mask.contains(QPoint(10, size / 2)));
    QVERIFY(!mask.contains(QPoint(2, 2)));
}

QTEST_MAIN(TestTitles)
#include "test_titles.moc"
