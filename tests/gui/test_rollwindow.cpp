// Whole draws on the real main window, offscreen: the triggers, the
// landing on the widgets, the count in jieguo.a, effects, music and sound.
#include "support_mainwindow.h"
#include "support_runfolder.h"
#include "support_wait.h"
#include "support_history.h"

#include "core/drawhistory.h"
#include "core/historyfile.h"
#include "core/roll.h"
#include "display/wineffects.h"
#include "lottery/rollscreen.h"
#include "platform/hotkey.h"
#include "widgets/controls.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void pressCaption(TransparentLabel *caption)
{
    QTest::mouseClick(caption, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
}

} // namespace

class TestRollWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_boxes = std::make_unique<messagebox::Seam>(); }
    void cleanup() { m_boxes.reset(); }

    void startCaptionStartsAndSpaceStops();
    void landingCountsAndShowsResultUnderFireworks();
    void effectsDisabledStillChimes();
    void autoStopLandsByItself();
    void designationLandsOnFirstTicket();
    void emptyBoxShowsMessage();
    void stockTakenDuringRoll();
    void intervalOutOfRangeIsBounded_data();
    void intervalOutOfRangeIsBounded();
    void clearedHeldPictureEmptiesLastSlot();
    void startDuringFireworksClosesThem();
    void landingsWriteTheHistory();

private:
    std::unique_ptr<messagebox::Seam> m_boxes;
};

void TestRollWindow::startCaptionStartsAndSpaceStops()
{
    RunFolder run;
    prepareDrawable(run);
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    MainControls &c = parts(w).controls();
    pressCaption(c.startCaption);
    QCOMPARE(c.startButton->text(), QStringLiteral("停止"));
    QVERIFY(c.stopCaption->isVisible());
    QVERIFY(!c.startCaption->isVisible());
    QCOMPARE(c.rollTimer->interval(), 30);
    QVERIFY(c.slots[0]->isRaised());
    QCOMPARE(sound->looping, run.file(QStringLiteral("wav/bjyy.mp3")));
    // The focus timer keeps the invisible button focused: the space bar stops.
    c.startButton->setFocus();
    QTest::keyClick(c.startButton, Qt::Key_Space);
    QVERIFY(!c.startButton->isEnabled());
    QVERIFY(sound->looping.isEmpty());
    QVERIFY(w->findChild<WinEffects *>()->isShowing());
    w->findChild<WinEffects *>()->closeWinEffect();
}

void TestRollWindow::landingCountsAndShowsResultUnderFireworks()
{
    RunFolder run;
    prepareDrawable(run);
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    MainControls &c = parts(w).controls();
    parts(w).roll().startStopPress();
    for (int i = 0; i < 5; ++i)
        parts(w).roll().tick();
    QCOMPARE(parts(w).roll().state().position, 5);
    QVERIFY(c.slots[4]->picture().isEmpty());
    QCOMPARE(c.resultPicture->picture(), QByteArray("picture 5"));
    QCOMPARE(c.slots[3]->picture(), QByteArray("picture 4")); // reloaded when left
    parts(w).roll().stopCaptionPressed();
    QVERIFY(w->findChild<WinEffects *>()->isShowing());
    parts(w).roll().tick();
    const int slot = parts(w).roll().state().position;
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QVERIFY(c.startButton->isEnabled());
    QVERIFY(!c.startCaption->isHidden());
    QVERIFY(c.stopCaption->isHidden());
    QCOMPARE(c.rollTimer->interval(), 0);
    QVERIFY(c.slots[slot - 1]->isRaised());
    QCOMPARE(c.slots[slot - 1]->picture(), QByteArray("picture ") + QByteArray::number(slot));
    QCOMPARE(c.resultPicture->picture(), c.slots[slot - 1]->picture());
    // The landing posts its win to the save worker.
    QTRY_COMPARE(storedCount(run, slot), 1);
    QCOMPARE(storedWins(run), 1);
    QCOMPARE(sound->waveCount, 1);
    QVERIFY(sound->lastWave.startsWith("RIFF"));
    QVERIFY(w->findChild<WinEffects *>()->isShowing()); // the landing happens under the fireworks
    w->findChild<WinEffects *>()->closeWinEffect();
}

void TestRollWindow::effectsDisabledStillChimes()
{
    RunFolder run;
    prepareDrawable(run);
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    c.rollSpeedEdit->setText(QStringLiteral("5"));
    parts(w).roll().startStopPress();
    parts(w).roll().stopCaptionPressed();
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
    // The real roll timer lands at its next tick.
    QTRY_COMPARE_WITH_TIMEOUT(c.startButton->text(), QStringLiteral("开始"), kPatienceMs);
    QCOMPARE(sound->waveCount, 1);
    QTRY_COMPARE(storedWins(run), 1);
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
}

void TestRollWindow::autoStopLandsByItself()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    c.autoStopEdit->setText(QStringLiteral("1.5"));
    c.rollSpeedEdit->setText(QStringLiteral("10"));
    w->show();
    pressCaption(c.startCaption);
    QCOMPARE(c.autoStopTimer->interval(), 1500);
    QVERIFY(c.autoStopTimer->isActive());
    // Its time is up: the stop request, then the roll timer's next tick lands.
    Q_EMIT c.autoStopTimer->tick();
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QCOMPARE(c.autoStopTimer->interval(), 0); // it disarms itself
}

void TestRollWindow::designationLandsOnFirstTicket()
{
    RunFolder run;
    // By quantity, slot 1 has no stock: the first ticket is slot 2's.
    run.writeGbk(QStringLiteral("config.a"),
                 QStringLiteral("[zbt]\r\nlx=假\r\n一=0\r\n二=3\r\n三=5\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=9\r\n"));
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    QVERIFY(w->findChild<GlobalHotKey *>());
    Q_EMIT w->findChild<GlobalHotKey *>()->activated();
    Q_EMIT w->findChild<GlobalHotKey *>()->activated(); // twice still designates one landing
    QVERIFY(!c.designationFlag->isHidden());
    parts(w).roll().startStopPress();
    parts(w).roll().tick();
    parts(w).roll().stopCaptionPressed();
    parts(w).roll().tick();
    QCOMPARE(parts(w).roll().state().position, 2);
    QVERIFY(c.designationFlag->isHidden());
    QTRY_COMPARE(storedCount(run, 2), 1);
}

void TestRollWindow::emptyBoxShowsMessage()
{
    RunFolder run; // fresh: by quantity with empty prize values
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    parts(w).roll().startStopPress();
    QCOMPARE(m_boxes->shown().size(), 1);
    const messagebox::Shown box = m_boxes->shown().first();
    QCOMPARE(box.caption, QStringLiteral("Lunora信息提示"));
    QCOMPARE(box.icon, messagebox::Icon::Information);
    QCOMPARE(box.buttons, messagebox::Buttons::Ok);
    QCOMPARE(box.text, RollScreen::emptyBoxText());
    QVERIFY(box.text.contains(QString(28, QChar(0x2014))));
    QVERIFY(box.text.startsWith(QStringLiteral("1．如果是第一次运行程序")));
    QVERIFY(c.resultPicture->isHidden());
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QCOMPARE(c.rollTimer->interval(), 0);
}

// Another copy of the program takes the last ticket during a roll. A stop
// refused for it before the landing tick leaves that tick rolling on, as
// before the stop; when the budget runs out with the box still empty, the
// roll ends where it stands, nothing counted, and the operator is told.
void TestRollWindow::stockTakenDuringRoll()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n一=1\r\n"));
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    MainControls &c = parts(w).controls();
    const QString music = run.file(QStringLiteral("wav/bjyy.mp3"));
    parts(w).roll().startStopPress();
    parts(w).roll().tick();
    parts(w).roll().startStopPress();
    run.writeGbk(QStringLiteral("jieguo.a"), QStringLiteral("[zjjg]\r\nj1=1\r\n"));
    parts(w).roll().stopCaptionPressed();
    QCOMPARE(m_boxes->shown().size(), 1);
    QVERIFY(sound->looping.isEmpty());

    parts(w).roll().tick();
    QCOMPARE(parts(w).roll().state().phase, RollPhase::Rolling);
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
    QCOMPARE(sound->looping, music);
    QVERIFY(c.startButton->isEnabled());
    QCOMPARE(c.startButton->text(), QStringLiteral("停止"));

    for (qint32 n = parts(w).roll().state().tickBudget; n > 0; --n)
        parts(w).roll().tick();
    QCOMPARE(m_boxes->shown().size(), 2);
    QCOMPARE(m_boxes->shown().last().text, RollScreen::emptyBoxText());
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QVERIFY(c.startButton->isEnabled());
    QVERIFY(!c.startCaption->isHidden());
    QVERIFY(c.stopCaption->isHidden());
    QVERIFY(c.resultPicture->isHidden());
    QCOMPARE(c.rollTimer->interval(), 0);
    QVERIFY(sound->looping.isEmpty());
    QCOMPARE(sound->waveCount, 0);
    QTRY_COMPARE(storedWins(run), 1);
}

void TestRollWindow::intervalOutOfRangeIsBounded_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("interval");
    QTest::newRow("zero") << QStringLiteral("0") << 30;
    QTest::newRow("negative") << QStringLiteral("-30") << 30;
    QTest::newRow("letters") << QStringLiteral("abc") << 30;
    QTest::newRow("huge") << QStringLiteral("1e12") << 1000;
}

// The real roll timer runs at 30 ms or at most a second, so the stop lands;
// the box keeps what was typed.
void TestRollWindow::intervalOutOfRangeIsBounded()
{
    QFETCH(QString, speed);
    QFETCH(int, interval);
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    c.rollSpeedEdit->setText(speed);
    parts(w).roll().startStopPress();
    QVERIFY(c.rollTimer->isActive());
    QCOMPARE(c.rollTimer->interval(), interval);
    parts(w).roll().startStopPress();
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
    QVERIFY(c.startButton->isEnabled());
    QCOMPARE(c.rollSpeedEdit->text(), speed);
}

void TestRollWindow::clearedHeldPictureEmptiesLastSlot()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    parts(w).controls().effectsDisabledBox->setChecked(true);
    parts(w).roll().startStopPress();
    parts(w).roll().stopCaptionPressed();
    parts(w).roll().tick();
    const int landed = parts(w).roll().state().position;
    parts(w).roll().clearHeldPicture(); // what a picture replacement does first
    parts(w).roll().startStopPress();
    QVERIFY(parts(w).controls().slots[landed - 1]->picture().isEmpty());
}

void TestRollWindow::startDuringFireworksClosesThem()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    parts(w).roll().startStopPress();
    parts(w).roll().stopCaptionPressed();
    parts(w).roll().tick();
    QVERIFY(w->findChild<WinEffects *>()->isShowing());
    parts(w).roll().startCaptionPressed();
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
    QCOMPARE(parts(w).roll().state().phase, RollPhase::Rolling);
}

// Each landing of the real window adds its line, naming the slot it landed
// on and the count jieguo.a holds.
void TestRollWindow::landingsWriteTheHistory()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    parts(w).controls().effectsDisabledBox->setChecked(true);
    QList<int> landed;
    for (int roll = 0; roll < 3; ++roll) {
        parts(w).roll().startStopPress();
        parts(w).roll().stopCaptionPressed();
        parts(w).roll().tick();
        landed << parts(w).roll().state().position;
    }
    const auto historyNow = [&run] {
        QFile file(run.file(QStringLiteral("中奖记录.csv")));
        return file.open(QIODevice::ReadOnly) ? history::parse(file.readAll()) : QList<history::Entry>{};
    };
    QTRY_COMPARE(historyNow().size(), 3);
    const QList<history::Entry> entries = historyNow();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(entries[i].slot, landed[i]);
        QCOMPARE(entries[i].mode, QStringLiteral("按概率"));
    }
    QCOMPARE(entries.last().count.toInt(), storedCount(run, landed.last()));
    QVERIFY(m_boxes->shown().isEmpty());
}

QTEST_MAIN(TestRollWindow)
#include "test_rollwindow.moc"
