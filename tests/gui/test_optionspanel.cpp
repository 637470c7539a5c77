// The display options panel on the real main window, offscreen: opening,
// closing, dragging and Save.
#include "support_mainwindow.h"
#include "support_mousedrag.h"
#include "support_runfolder.h"
#include "widgets/messagebox.h"

#include "core/keys.h"
#include "core/roll.h"
#include "core/settingsfile.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void openPanel(MainWindow &w)
{
    parts(w).menu().otherSettings->trigger();
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void save(MainWindow &w)
{
    QTest::mouseClick(parts(w).controls().saveButton, Qt::LeftButton);
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
    MainControls &c = parts(w).controls();
    QVERIFY(!c.optionsPanel->isVisible());
    QCOMPARE(c.focusTimer->interval(), 200);

    // Something above the panel's place: the panel must come up over it.
    c.resultPicture->move(c.optionsPanel->pos());
    c.resultPicture->show();
    c.resultPicture->raise();
    openPanel(*w);
    QVERIFY(c.optionsPanel->isVisible());
    QVERIFY(c.saveButton->isVisible());
    QCOMPARE(c.focusTimer->interval(), 0);
    QVERIFY(!c.focusTimer->isActive());
    QWidget *onTop = w->childAt(c.optionsPanel->pos() + QPoint(30, 30));
    QVERIFY(onTop == c.optionsPanel || c.optionsPanel->isAncestorOf(onTop));

    QTest::mouseClick(c.panelClose, Qt::LeftButton);
    QVERIFY(!c.optionsPanel->isVisible());
    QVERIFY(!c.saveButton->isVisible());
    QCOMPARE(c.focusTimer->interval(), 200);
    QVERIFY(c.focusTimer->isActive());
}

void TestOptionsPanel::saveStoresTextsAsTyped_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("autoStop");
    QTest::addColumn<bool>("effectsOff");
    QTest::addColumn<QSize>("resultSize");
    QTest::addColumn<int>("autoStopMs");
    QTest::newRow("numbers") << "320" << "240" << "45" << "5" << true << QSize(320, 240) << 5000;
    QTest::newRow("letters") << "abc" << "12px" << "fast" << "0.0" << false << QSize(0, 12) << 0;
    QTest::newRow("negative and full-width") << "-40" << QStringLiteral("１５０") << "-5" << "1.5"
                                             << false << QSize(0, 150) << 1500;
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
    MainControls &c = parts(w).controls();
    openPanel(*w);
    c.resultWidthEdit->setText(width);
    c.resultHeightEdit->setText(height);
    c.rollSpeedEdit->setText(speed);
    c.autoStopEdit->setText(autoStop);
    c.effectsDisabledBox->setChecked(effectsOff);
    save(*w);

    const SettingsFile &s = parts(w).settings();
    QCOMPARE(s.readSetting(keys::kResultWidth), width);
    QCOMPARE(s.readSetting(keys::kResultHeight), height);
    QCOMPARE(s.readSetting(keys::kRollSpeed), speed);
    QCOMPARE(s.readSetting(keys::kAutoStop), autoStop);
    QCOMPARE(s.readSetting(keys::kEffectsDisabled), effectsOff ? QStringLiteral("真") : QStringLiteral("假"));
    QCOMPARE(s.readSetting(keys::kWheelSize), QStringLiteral("0"));
    QCOMPARE(c.resultPicture->size(), resultSize);
    // Save closes the panel and gives the focus timer back.
    QVERIFY(c.optionsPanel->isHidden());
    QCOMPARE(c.focusTimer->interval(), 200);
    // The boxes keep what was typed.
    QCOMPARE(c.resultWidthEdit->text(), width);
    QCOMPARE(c.autoStopEdit->text(), autoStop);
    // The next start arms the auto-stop timer from the text; "0.0" leaves it stopped.
    c.effectsDisabledBox->setChecked(true);
    parts(w).roll().startStopPress();
    QCOMPARE(c.autoStopTimer->interval(), autoStopMs);
    QCOMPARE(c.autoStopTimer->isActive(), autoStopMs > 0);
}

void TestOptionsPanel::letterWidthBecomesZeroAfterRestart()
{
    RunFolder run;
    auto w = run.openWindow();
    openPanel(*w);
    typeInto(parts(w).controls().resultWidthEdit, QStringLiteral("wide"));
    save(*w);
    QCOMPARE(parts(w).controls().resultPicture->width(), 0);
    w.reset();
    w = run.openWindow();
    QCOMPARE(parts(w).settings().readSetting(keys::kResultWidth), QStringLiteral("wide"));
    QCOMPARE(parts(w).controls().resultWidthEdit->text(), QStringLiteral("0"));
    QCOMPARE(parts(w).controls().resultPicture->width(), 0);
    QCOMPARE(parts(w).controls().resultHeightEdit->text(), QStringLiteral("160"));
}

void TestOptionsPanel::savingSameWheelSizeTwiceGivesSameWheel()
{
    RunFolder run;
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    const QPoint wheelPos = c.wheelFrame->pos();
    openPanel(*w);
    typeInto(c.wheelSizeEdit, QStringLiteral("2"));
    save(*w);
    const QRect firstFace = c.face->geometry();
    const QRect firstSlot = c.slots[3]->geometry();
    QCOMPARE(c.wheelFrame->size(), QSize(605, 605)); // 500 x 1.1 x 1.1
    openPanel(*w);
    save(*w);
    QCOMPARE(c.wheelFrame->size(), QSize(605, 605));
    QCOMPARE(c.face->geometry(), firstFace);
    QCOMPARE(c.slots[3]->geometry(), firstSlot);
    QCOMPARE(c.wheelFrame->pos(), wheelPos);
    QCOMPARE(parts(w).settings().readSetting(keys::kWheelSize), QStringLiteral("2"));

    // Back to 0: the base wheel again.
    openPanel(*w);
    typeInto(c.wheelSizeEdit, QStringLiteral("0"));
    save(*w);
    QCOMPARE(c.wheelFrame->size(), QSize(500, 500));
    QCOMPARE(c.slots[3]->geometry(), QRect(347, 268, 106, 65));

    // A restart with the stored size builds the same wheel as Save did.
    openPanel(*w);
    typeInto(c.wheelSizeEdit, QStringLiteral("2"));
    save(*w);
    w.reset();
    w = run.openWindow();
    QCOMPARE(parts(w).controls().wheelFrame->size(), QSize(605, 605));
    QCOMPARE(parts(w).controls().slots[3]->geometry(), firstSlot);
}

void TestOptionsPanel::unsavedSpeedIsUsedButNotStored()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\n滚动速度=45\r\nlx=真\r\n"));
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    openPanel(*w);
    typeInto(c.rollSpeedEdit, QStringLiteral("100"));
    QTest::mouseClick(c.panelClose, Qt::LeftButton);
    QCOMPARE(c.rollSpeedEdit->text(), QStringLiteral("100")); // closing discards nothing
    QCOMPARE(parts(w).settings().readSetting(keys::kRollSpeed), QStringLiteral("45"));

    c.effectsDisabledBox->setChecked(true);
    QTest::mouseClick(c.startCaption, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(c.rollTimer->interval(), 100);
    c.rollTimer->setInterval(0);

    w.reset();
    w = run.openWindow();
    QCOMPARE(parts(w).controls().rollSpeedEdit->text(), QStringLiteral("45"));
}

void TestOptionsPanel::panelFollowsDragWithoutStoring()
{
    RunFolder run;
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    MainControls &c = parts(w).controls();
    openPanel(*w);
    const QString before = configText(run);
    const QPoint start = c.optionsPanel->pos();
    // The strip between the panel's title and its close mark is the panel itself.
    const QPoint grip(150, 8);
    QCOMPARE(c.optionsPanel->childAt(grip), nullptr);
    dragWithMouse(c.optionsPanel, grip, QPoint(60, 45));
    QCOMPARE(c.optionsPanel->pos(), start + QPoint(60, 45));
    QCOMPARE(configText(run), before);
    // Pressing the close mark does not drag, it closes.
    QTest::mouseClick(c.panelClose, Qt::LeftButton);
    QCOMPARE(c.optionsPanel->pos(), start + QPoint(60, 45));
    QVERIFY(c.optionsPanel->isHidden());
}

QTEST_MAIN(TestOptionsPanel)
#include "test_optionspanel.moc"
