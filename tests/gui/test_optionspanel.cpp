// The display options panel on the real main window, offscreen: opening,
// closing, dragging and Save.
#include "support_mousedrag.h"
#include "support_operator.h"
#include "support_runfolder.h"
#include "widgets/messagebox.h"

#include "widgets/picturebox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The panel's controls, by name.
QLineEdit &edit(const QWidget &w, const QString &name)
{
    return control<QLineEdit>(w, QStringLiteral("编辑框_") + name);
}

ShapeBox &panel(const QWidget &w)
{
    return control<ShapeBox>(w, QStringLiteral("外形框2"));
}

IntervalTimer &focusTimer(const QWidget &w)
{
    return control<IntervalTimer>(w, QStringLiteral("时钟2"));
}

void openPanel(const QWidget &w)
{
    choose(w, QStringLiteral("其它设置"));
}

void closePanel(const QWidget &w)
{
    QTest::mouseClick(&control<Label>(w, QStringLiteral("标签8")), Qt::LeftButton);
}

void save(const QWidget &w)
{
    QTest::mouseClick(&control<QPushButton>(w, QStringLiteral("按钮_保存")), Qt::LeftButton);
}

// Ticks or clears 选择框_禁用特效 with the space bar, as the keyboard does.
void setEffectsDisabled(const QWidget &w, bool disabled)
{
    auto &box = control<QCheckBox>(w, QStringLiteral("选择框_禁用特效"));
    if (box.isChecked() != disabled)
        QTest::keyClick(&box, Qt::Key_Space);
}

QString configText(const RunFolder &run)
{
    return run.readGbk(QStringLiteral("config.a"));
}

} // namespace

class TestOptionsPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openAndCloseSwitchFocusTimer();
    void saveStoresTextsAsTyped_data();
    void saveStoresTextsAsTyped();
    void letterWidthBecomesZeroAfterRestart();
    void savingSameWheelSizeTwiceGivesSameWheel();
    void unsavedSpeedIsUsedButNotStored();
    void panelFollowsDragWithoutStoring();

private:
    // A fresh folder has no tickets: the empty-box message is answered here.
    messagebox::Seam m_boxes;
};

void TestOptionsPanel::openAndCloseSwitchFocusTimer()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    ShapeBox &box = panel(*w);
    const auto &saveButton = control<QPushButton>(*w, QStringLiteral("按钮_保存"));
    QVERIFY(!box.isVisible());
    QCOMPARE(focusTimer(*w).interval(), 200);

    // Something above the panel's place: a drag of the wheel lifts the
    // titles over everything, and the subtitle crosses where the panel opens.
    dragWithMouse(&control<ShapeBox>(*w, QStringLiteral("外形框1")), QPoint(5, 5), QPoint(2, 2));
    const auto &subTitle = control<TransparentLabel>(*w, QStringLiteral("透明标签_副标题"));
    const QPoint inside = box.pos() + QPoint(30, 30);
    QVERIFY(subTitle.geometry().contains(inside));
    QVERIFY(w->children().indexOf(&subTitle) > w->children().indexOf(&box));
    openPanel(*w);
    QVERIFY(box.isVisible());
    QVERIFY(saveButton.isVisible());
    QCOMPARE(focusTimer(*w).interval(), 0);
    QVERIFY(!focusTimer(*w).isActive());
    QWidget *onTop = w->childAt(inside);
    QVERIFY(onTop == &box || box.isAncestorOf(onTop));

    closePanel(*w);
    QVERIFY(!box.isVisible());
    QVERIFY(!saveButton.isVisible());
    QCOMPARE(focusTimer(*w).interval(), 200);
    QVERIFY(focusTimer(*w).isActive());
}

// How each text reads as a number is the values' own test; here Save
// stores every box's text as typed, letters included, applies them, and
// the next roll arms its auto-stop from the box.
void TestOptionsPanel::saveStoresTextsAsTyped_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("autoStop");
    QTest::addColumn<bool>("effectsOff");
    QTest::addColumn<QSize>("resultSize");
    QTest::addColumn<int>("autoStopMs");
    QTest::newRow("numbers") << "320" << "240" << "45" << "1.5" << true << QSize(320, 240) << 1500;
    QTest::newRow("letters") << "abc" << "12px" << "fast" << "0.0" << false << QSize(0, 12) << 0;
}

void TestOptionsPanel::saveStoresTextsAsTyped()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, speed);
    QFETCH(QString, autoStop);
    QFETCH(bool, effectsOff);
    QFETCH(QSize, resultSize);
    QFETCH(int, autoStopMs);
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    auto w = run.openWindow();
    openPanel(*w);
    operate::typeOver(edit(*w, QStringLiteral("奖品图片宽")), width);
    operate::typeOver(edit(*w, QStringLiteral("奖品图片高")), height);
    operate::typeOver(edit(*w, QStringLiteral("滚动速度")), speed);
    operate::typeOver(edit(*w, QStringLiteral("自动停止")), autoStop);
    setEffectsDisabled(*w, effectsOff);
    save(*w);

    QCOMPARE(storedValue(run, QStringLiteral("奖品图片宽")), width);
    QCOMPARE(storedValue(run, QStringLiteral("奖品图片高")), height);
    QCOMPARE(storedValue(run, QStringLiteral("滚动速度")), speed);
    QCOMPARE(storedValue(run, QStringLiteral("自动停止")), autoStop);
    QCOMPARE(storedValue(run, QStringLiteral("禁用特效")), effectsOff ? QStringLiteral("真") : QStringLiteral("假"));
    QCOMPARE(storedValue(run, QStringLiteral("计次")), QStringLiteral("0")); // the wheel size box
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框a_结果")).size(), resultSize);
    // Save closes the panel and gives the focus timer back.
    QVERIFY(panel(*w).isHidden());
    QCOMPARE(focusTimer(*w).interval(), 200);
    // The boxes keep what was typed.
    QCOMPARE(edit(*w, QStringLiteral("奖品图片宽")).text(), width);
    QCOMPARE(edit(*w, QStringLiteral("自动停止")).text(), autoStop);
    // The next start arms the auto-stop timer from it; "0.0" leaves it stopped.
    operate::pressSpace(*w);
    QVERIFY(isRolling(*w));
    const auto &autoStopTimer = control<IntervalTimer>(*w, QStringLiteral("时钟3_自动停止"));
    QCOMPARE(autoStopTimer.interval(), autoStopMs);
    QCOMPARE(autoStopTimer.isActive(), autoStopMs > 0);
}

void TestOptionsPanel::letterWidthBecomesZeroAfterRestart()
{
    RunFolder run;
    auto w = run.openWindow();
    openPanel(*w);
    operate::typeOver(edit(*w, QStringLiteral("奖品图片宽")), QStringLiteral("wide"));
    save(*w);
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框a_结果")).width(), 0);
    w.reset();
    w = run.openWindow();
    QCOMPARE(storedValue(run, QStringLiteral("奖品图片宽")), QStringLiteral("wide"));
    QCOMPARE(edit(*w, QStringLiteral("奖品图片宽")).text(), QStringLiteral("0"));
    QCOMPARE(control<PictureBox>(*w, QStringLiteral("图片框a_结果")).width(), 0);
    QCOMPARE(edit(*w, QStringLiteral("奖品图片高")).text(), QStringLiteral("160"));
}

void TestOptionsPanel::savingSameWheelSizeTwiceGivesSameWheel()
{
    RunFolder run;
    auto w = run.openWindow();
    const ShapeBox &frame = control<ShapeBox>(*w, QStringLiteral("外形框1"));
    const PictureBox &face = control<PictureBox>(*w, QStringLiteral("图片框_背景"));
    const PictureBox &slot4 = operate::slot(*w, 4);
    const QPoint wheelPos = frame.pos();
    openPanel(*w);
    operate::typeOver(edit(*w, QStringLiteral("转盘大小")), QStringLiteral("2"));
    save(*w);
    const QRect firstFace = face.geometry();
    const QRect firstSlot = slot4.geometry();
    QCOMPARE(frame.size(), QSize(605, 605)); // 500 x 1.1 x 1.1
    openPanel(*w);
    save(*w);
    QCOMPARE(frame.size(), QSize(605, 605));
    QCOMPARE(face.geometry(), firstFace);
    QCOMPARE(slot4.geometry(), firstSlot);
    QCOMPARE(frame.pos(), wheelPos);
    QCOMPARE(storedValue(run, QStringLiteral("计次")), QStringLiteral("2"));

    // Back to 0: the base wheel again.
    openPanel(*w);
    operate::typeOver(edit(*w, QStringLiteral("转盘大小")), QStringLiteral("0"));
    save(*w);
    QCOMPARE(frame.size(), QSize(500, 500));
    QCOMPARE(slot4.geometry(), QRect(347, 268, 106, 65));

    // A restart with the stored size builds the same wheel as Save did.
    openPanel(*w);
    operate::typeOver(edit(*w, QStringLiteral("转盘大小")), QStringLiteral("2"));
    save(*w);
    w.reset();
    w = run.openWindow();
    QCOMPARE(control<ShapeBox>(*w, QStringLiteral("外形框1")).size(), QSize(605, 605));
    QCOMPARE(operate::slot(*w, 4).geometry(), firstSlot);
}

void TestOptionsPanel::unsavedSpeedIsUsedButNotStored()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\n滚动速度=45\r\nlx=真\r\n"));
    auto w = run.openWindow();
    QLineEdit &speed = edit(*w, QStringLiteral("滚动速度"));
    openPanel(*w);
    operate::typeOver(speed, QStringLiteral("100"));
    closePanel(*w);
    QCOMPARE(speed.text(), QStringLiteral("100")); // closing discards nothing
    QCOMPARE(storedValue(run, QStringLiteral("滚动速度")), QStringLiteral("45"));

    QTest::mouseClick(&control<TransparentLabel>(*w, QStringLiteral("透明标签_开始")), Qt::LeftButton,
                      Qt::NoModifier, QPoint(10, 10));
    QVERIFY(isRolling(*w));
    QCOMPARE(control<IntervalTimer>(*w, QStringLiteral("时钟1")).interval(), 100);

    w.reset();
    w = run.openWindow();
    QCOMPARE(edit(*w, QStringLiteral("滚动速度")).text(), QStringLiteral("45"));
}

void TestOptionsPanel::panelFollowsDragWithoutStoring()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    ShapeBox &box = panel(*w);
    openPanel(*w);
    const QString before = configText(run);
    const QPoint start = box.pos();
    // The strip between the panel's title and its close mark is the panel itself.
    const QPoint grip(150, 8);
    QCOMPARE(box.childAt(grip), nullptr);
    dragWithMouse(&box, grip, QPoint(60, 45));
    QCOMPARE(box.pos(), start + QPoint(60, 45));
    QCOMPARE(configText(run), before);
    // Pressing the close mark does not drag, it closes.
    closePanel(*w);
    QCOMPARE(box.pos(), start + QPoint(60, 45));
    QVERIFY(box.isHidden());
}

QTEST_MAIN(TestOptionsPanel)
#include "test_optionspanel.moc"
