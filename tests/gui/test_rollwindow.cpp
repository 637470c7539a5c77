// Whole draws on the real main window, offscreen, as an operator runs them:
// the captions and the space bar, the roll on its own timer, the landing on
// the widgets, the count in jieguo.a, the history, effects, music and sound.
// The roll's step order and the speed and auto-stop rules are the core's.
#include "support_history.h"
#include "support_operator.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "core/historyfile.h"
#include "platform/hotkey.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace operate;

namespace {

// The roll ticks every millisecond, so a stop lands at once.
const QString kFast = QStringLiteral("滚动速度=1\r\n");
const QString kNoEffects = QStringLiteral("禁用特效=真\r\n");

IntervalTimer &rollTimer(const QWidget &w)
{
    return control<IntervalTimer>(w, QStringLiteral("时钟1"));
}

IntervalTimer &autoStopTimer(const QWidget &w)
{
    return control<IntervalTimer>(w, QStringLiteral("时钟3_自动停止"));
}

bool captionsIdle(const QWidget &w)
{
    return !control<QWidget>(w, QStringLiteral("透明标签_开始")).isHidden()
        && control<QWidget>(w, QStringLiteral("透明标签_结束")).isHidden();
}

// A roll from the start caption to its landing; the slot counted.
int rollOnce(const RunFolder &run, const QWidget &w)
{
    const std::array<int, 8> before = storedCounts(run);
    pressStartCaption(w);
    pressStopCaption(w);
    if (!QTest::qWaitFor([&] { return slotCountedSince(run, before) != 0; }, kPatienceMs))
        return 0;
    return slotCountedSince(run, before);
}

// What the operator is told when the box holds no ticket.
const QString kEmptyBoxText = QStringLiteral("1．如果是第一次运行程序，请先点击右键，选择奖项设置菜单，进行奖项设置！\r\n\r\n")
    + QString(28, QChar(0x2014))
    + QStringLiteral("\r\n\r\n2．如果是按奖品数量方式正在抽奖！应该是奖品数量已抽取完毕，清空抽奖结果后可以再重新抽奖！");

} // namespace

class TestRollWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_boxes = std::make_unique<messagebox::Seam>(); }
    void cleanup() { m_boxes.reset(); }

    void startCaptionStartsAndSpaceStops();
    void rollShowsTheHighlightedPictureAsResult();
    void landingCountsAndShowsResultUnderFireworks();
    void effectsDisabledStillChimes();
    void storedSpeedRunsTheRollTimer();
    void autoStopLandsByItself();
    void designationLandsOnFirstTicket();
    void emptyBoxShowsMessage();
    void stockTakenDuringRoll();
    void replacementDropsThePictureHeldForTheLastSlot();
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
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    pressStartCaption(*w);
    QCOMPARE(startButton(*w).text(), QStringLiteral("停止"));
    QVERIFY(control<QWidget>(*w, QStringLiteral("透明标签_结束")).isVisible());
    QVERIFY(!control<QWidget>(*w, QStringLiteral("透明标签_开始")).isVisible());
    QCOMPARE(rollTimer(*w).interval(), 30); // the speed box's default
    QVERIFY(slot(*w, 1).isRaised());
    QCOMPARE(sound->looping, run.file(QStringLiteral("wav/bjyy.mp3")));
    // The focus timer keeps the invisible button focused: the space bar stops.
    QTRY_VERIFY_WITH_TIMEOUT(startButton(*w).hasFocus(), kPatienceMs);
    QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Space); // to the focus
    QVERIFY(sound->looping.isEmpty());
    QVERIFY(fireworksShowing(*w));
    // The fireworks' window may let the landing tick run before the key
    // returns, so the roll is only known to have stopped, and then landed.
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
}

// While it rolls, the highlighted box is empty and its picture shows as the
// result; the box left behind has its own picture back.
void TestRollWindow::rollShowsTheHighlightedPictureAsResult()
{
    RunFolder run;
    prepareDrawable(run, kFast);
    auto w = run.openWindow();
    pressStartCaption(*w);
    for (int seen = 0; seen < 3; ++seen) {
        QTRY_VERIFY_WITH_TIMEOUT(!resultPicture(*w).picture().isEmpty(), kPatienceMs);
        const QByteArray shown = resultPicture(*w).picture();
        int empty = 0;
        for (int n = 1; n <= 8; ++n) {
            const QByteArray own = QByteArray("picture ") + QByteArray::number(n);
            if (slot(*w, n).picture().isEmpty()) {
                empty = n;
                QCOMPARE(shown, own);
                QVERIFY(slot(*w, n).isRaised());
            } else {
                QCOMPARE(slot(*w, n).picture(), own);
                QVERIFY(!slot(*w, n).isRaised());
            }
        }
        QVERIFY(empty != 0);
        QTRY_VERIFY_WITH_TIMEOUT(!slot(*w, empty).picture().isEmpty(), kPatienceMs); // it moves on
    }
}

void TestRollWindow::landingCountsAndShowsResultUnderFireworks()
{
    RunFolder run;
    prepareDrawable(run, kFast);
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    pressStartCaption(*w);
    pressStopCaption(*w);
    QVERIFY(fireworksShowing(*w));
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
    const int landed = slotCountedSince(run, {});
    QCOMPARE(startButton(*w).text(), QStringLiteral("开始"));
    QVERIFY(startButton(*w).isEnabled());
    QVERIFY(captionsIdle(*w));
    QCOMPARE(rollTimer(*w).interval(), 0);
    QVERIFY(!rollTimer(*w).isActive());
    QVERIFY(slot(*w, landed).isRaised());
    QCOMPARE(slot(*w, landed).picture(), QByteArray("picture ") + QByteArray::number(landed));
    QCOMPARE(resultPicture(*w).picture(), slot(*w, landed).picture());
    QCOMPARE(sound->waveCount, 1);
    QVERIFY(sound->lastWave.startsWith("RIFF"));
    QVERIFY(fireworksShowing(*w)); // the landing happens under the fireworks
}

void TestRollWindow::effectsDisabledStillChimes()
{
    RunFolder run;
    prepareDrawable(run, kFast + kNoEffects);
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    QVERIFY(control<QCheckBox>(*w, QStringLiteral("选择框_禁用特效")).isChecked());
    pressSpace(*w);
    pressSpace(*w);
    QVERIFY(!fireworksShowing(*w));
    QTRY_COMPARE_WITH_TIMEOUT(startButton(*w).text(), QStringLiteral("开始"), kPatienceMs);
    QCOMPARE(sound->waveCount, 1);
    QTRY_COMPARE(storedWins(run), 1);
    QVERIFY(!fireworksShowing(*w));
}

// The stored speed is in its box and sets the roll timer; the box keeps it
// as stored.
void TestRollWindow::storedSpeedRunsTheRollTimer()
{
    RunFolder run;
    prepareDrawable(run, QStringLiteral("滚动速度=7\r\n") + kNoEffects);
    auto w = run.openWindow();
    QCOMPARE(control<QLineEdit>(*w, QStringLiteral("编辑框_滚动速度")).text(), QStringLiteral("7"));
    pressSpace(*w);
    QVERIFY(rollTimer(*w).isActive());
    QCOMPARE(rollTimer(*w).interval(), 7);
    pressSpace(*w);
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
    QCOMPARE(control<QLineEdit>(*w, QStringLiteral("编辑框_滚动速度")).text(), QStringLiteral("7"));
}

void TestRollWindow::autoStopLandsByItself()
{
    RunFolder run;
    prepareDrawable(run, kFast + kNoEffects + QStringLiteral("自动停止=0.2\r\n"));
    auto w = run.openWindow();
    w->show();
    pressStartCaption(*w);
    QCOMPARE(autoStopTimer(*w).interval(), 200);
    QVERIFY(autoStopTimer(*w).isActive());
    // Its time is up: the stop request, then the roll timer's next tick lands.
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(run), 1, kPatienceMs);
    QCOMPARE(startButton(*w).text(), QStringLiteral("开始"));
    QCOMPARE(autoStopTimer(*w).interval(), 0); // it disarms itself
}

// The hot key Shift+Q, as the system reports it.
void TestRollWindow::designationLandsOnFirstTicket()
{
    RunFolder run;
    // By quantity, slot 1 has no stock: the first ticket is slot 2's.
    run.writeGbk(QStringLiteral("config.a"),
                 QStringLiteral("[zbt]\r\nlx=假\r\n一=0\r\n二=3\r\n三=5\r\n四=0\r\n五=0\r\n六=0\r\n七=0\r\n八=9\r\n")
                     + kFast + kNoEffects);
    auto w = run.openWindow();
    auto *hotKey = w->findChild<GlobalHotKey *>();
    QVERIFY(hotKey);
    QWidget &flag = control<QWidget>(*w, QStringLiteral("透明标签_zd"));
    Q_EMIT hotKey->activated();
    Q_EMIT hotKey->activated(); // twice still designates one landing
    QVERIFY(!flag.isHidden());
    QCOMPARE(rollOnce(run, *w), 2);
    QVERIFY(flag.isHidden());
    QTRY_COMPARE(storedWins(run), 1);
}

void TestRollWindow::emptyBoxShowsMessage()
{
    RunFolder run; // fresh: by quantity with empty prize values
    auto w = run.openWindow();
    pressSpace(*w);
    QCOMPARE(m_boxes->shown().size(), 1);
    const messagebox::Shown box = m_boxes->shown().first();
    QCOMPARE(box.caption, QStringLiteral("Lunora信息提示"));
    QCOMPARE(box.icon, messagebox::Icon::Information);
    QCOMPARE(box.buttons, messagebox::Buttons::Ok);
    QCOMPARE(box.text, kEmptyBoxText);
    QVERIFY(resultPicture(*w).isHidden());
    QCOMPARE(startButton(*w).text(), QStringLiteral("开始"));
    QVERIFY(!rollTimer(*w).isActive());
}

// Another copy of the program takes the last ticket between a stop and its
// landing: a press on the stop caption then is refused with the message, and
// the landing tick rolls on as before the stop, nothing counted. (How a roll
// with an empty box ends when its budget runs out is the core's.)
void TestRollWindow::stockTakenDuringRoll()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=假\r\n一=1\r\n") + kFast + kNoEffects);
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    const QString music = run.file(QStringLiteral("wav/bjyy.mp3"));
    pressSpace(*w);
    QCOMPARE(sound->looping, music);
    pressSpace(*w);
    run.writeGbk(QStringLiteral("jieguo.a"), QStringLiteral("[zjjg]\r\nj1=1\r\n"));
    pressStopCaption(*w);
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().text, kEmptyBoxText);
    QVERIFY(sound->looping.isEmpty());

    QTRY_COMPARE_WITH_TIMEOUT(sound->looping, music, kPatienceMs);
    QVERIFY(!fireworksShowing(*w));
    QVERIFY(startButton(*w).isEnabled());
    QCOMPARE(startButton(*w).text(), QStringLiteral("停止"));
    QVERIFY(rollTimer(*w).isActive());
    QCOMPARE(sound->waveCount, 0);
    QTRY_COMPARE(storedWins(run), 1);
}

// Replacing a picture (here the dialog is cancelled) drops the picture the
// roll holds for the slot it last landed on: the next roll gives that box
// nothing back.
void TestRollWindow::replacementDropsThePictureHeldForTheLastSlot()
{
    RunFolder run;
    prepareDrawable(run, kFast + kNoEffects);
    auto w = run.openWindow();
    const int landed = rollOnce(run, *w);
    QVERIFY(landed != 0);
    QVERIFY(!slot(*w, landed).picture().isEmpty());
    filedialog::Seam dialogs;
    dialogs.queueCancel();
    QTest::mouseDClick(&slot(*w, 6), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QCOMPARE(dialogs.filters().size(), 1);
    pressStartCaption(*w);
    QVERIFY(slot(*w, landed).picture().isEmpty());
}

void TestRollWindow::startDuringFireworksClosesThem()
{
    RunFolder run;
    prepareDrawable(run, kFast);
    auto w = run.openWindow();
    QVERIFY(rollOnce(run, *w) != 0);
    QVERIFY(fireworksShowing(*w));
    pressStartCaption(*w);
    QVERIFY(!fireworksShowing(*w));
    QCOMPARE(startButton(*w).text(), QStringLiteral("停止"));
    QVERIFY(rollTimer(*w).isActive());
}

// Each landing of the real window adds its line, naming the slot it landed
// on and the count jieguo.a holds.
void TestRollWindow::landingsWriteTheHistory()
{
    RunFolder run;
    prepareDrawable(run, kFast + kNoEffects);
    auto w = run.openWindow();
    QList<int> landed;
    for (int roll = 0; roll < 3; ++roll) {
        landed << rollOnce(run, *w);
        QVERIFY(landed.last() != 0);
    }
    // The save worker writes the lines after the counts.
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
