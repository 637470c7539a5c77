#include "support_history.h"
#include "support_settingsfolder.h"

#include "core/historyfile.h"
#include "core/keys.h"
#include "core/results.h"
#include "core/roll.h"
#include "core/drawhistory.h"
#include "core/settingsfile.h"
#include "fakerollview.h"
#include "platform/gbkcodec.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <array>
#include <limits>

// Every line of the draw history is stamped with this time.
const QDateTime kHistoryTime(QDate(2026, 12, 7), QTime(15, 3, 12));

class TestRoll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void firstRoll();
    void stopBeforeFirstTick();
    void drawnSlotIsCurrentSlot();
    void effectsDisabled();
    void rollInterval_data();
    void rollInterval();
    void autoStopArming_data();
    void autoStopArming();
    void autoStopBelongsToItsRoll();
    void restartWhileStopping();
    void clearedHeldPicture();
    void byQuantityUntilEmpty();
    void designation_data();
    void designation();
    void runOutDrawsFromTheBox_data();
    void runOutDrawsFromTheBox();
    void runOutOnEmptyBox();
    void emptyBoxAtLandingTick();
    void uncountedWinIsReported();
    void unkeptHistoryIsReportedOnce();

private:
    void startAndStop();
    void tickUntilBudgetIsOut();
    QString wins(int slot) const { return results::countText(*m_settings, slot); }

    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::unique_ptr<DrawHistory> m_history;
    quint32 m_clock = 0;
    std::unique_ptr<Draw> m_draw;
    std::unique_ptr<FakeRollView> m_view;
    std::unique_ptr<Roll> m_roll;
};

// By probability with the start-up defaults: a counter of 1 draws slot 6,
// a counter of 0 draws slot 8 and gives a budget of 110874 ticks.
void TestRoll::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = &m_folder->settings();
    m_history = std::make_unique<DrawHistory>(*m_settings, [] { return kHistoryTime; });
    QVERIFY(writeDrawMode(*m_settings, DrawMode::ByProbability));
    m_clock = 0;
    m_draw = std::make_unique<Draw>([this] { return m_clock; });
    m_draw->setTable(PrizeTable::defaults());
    m_view = std::make_unique<FakeRollView>();
    m_roll = std::make_unique<Roll>(*m_view, *m_settings, *m_history, *m_draw);
}

void TestRoll::startAndStop()
{
    m_roll->startCaptionPressed();
    m_roll->stopCaptionPressed();
}

// No stop: the roll runs to the end of its budget, without logging.
void TestRoll::tickUntilBudgetIsOut()
{
    m_view->logging = false;
    for (qint32 n = m_roll->state().tickBudget; n > 0; --n)
        m_roll->tick();
    m_view->logging = true;
}

void TestRoll::firstRoll()
{
    m_roll->startCaptionPressed();
    QCOMPARE(m_view->take(), (QStringList{"result-visible 1", "close-effect", "idle-captions 0",
                                          "caption 停止", "music-start", "auto-stop 0",
                                          "roll-interval 30", "raised 1 1", "result-picture <empty>"}));
    QCOMPARE(m_roll->state().runFlag, 1);
    QCOMPARE(m_roll->state().tickBudget, 110874);

    m_roll->tick();
    QCOMPARE(m_view->take(), (QStringList{"raised 8 0", "reload 8", "raised 1 1",
                                          "slot-picture 1 <empty>", "result-picture picture 1"}));
    QCOMPARE(m_roll->state().position, 1);
    QCOMPARE(m_roll->state().heldPicture, QByteArray("picture 1"));
    QCOMPARE(m_roll->state().tickBudget, 110873);

    m_roll->tick();
    QCOMPARE(m_view->raisedSlots(), raisedOnly({2}));
    QCOMPARE(m_view->pictures[0], QByteArray("picture 1"));
    QCOMPARE(m_view->result, QByteArray("picture 2"));
    // A press on the start caption while rolling does nothing.
    m_view->take();
    m_roll->startCaptionPressed();
    QVERIFY(m_view->take().isEmpty());
}

// The landing tick leaves 图片框8, so 图片框1 keeps its border beside the
// drawn slot.
void TestRoll::stopBeforeFirstTick()
{
    m_roll->startCaptionPressed();
    m_clock = 1;
    m_view->take();
    m_roll->stopCaptionPressed();
    QCOMPARE(m_view->take(), (QStringList{"result-visible 1", "close-effect", "idle-captions 0",
                                          "auto-stop 0", "music-stop", "button-enabled 0",
                                          "show-effect", "auto-stop 0"}));
    QCOMPARE(m_roll->state().runFlag, 0);
    QCOMPARE(m_roll->state().tickBudget, 1);

    m_roll->tick();
    QCOMPARE(m_view->take(), (QStringList{"idle-captions 1", "raised 8 0", "reload 8", "raised 6 1",
                                          "slot-picture 6 <empty>", "result-picture picture 6",
                                          "caption 开始", "button-enabled 1", "roll-interval 0",
                                          "slot-picture 6 picture 6", "end-sound"}));
    QCOMPARE(m_view->raisedSlots(), raisedOnly({1, 6}));
    QCOMPARE(m_roll->state().position, 6);
    QCOMPARE(wins(6), QStringLiteral("1"));
    QCOMPARE(m_view->effectsShown, 1);
    QCOMPARE(m_view->caption, Roll::kStartCaption);
}

void TestRoll::drawnSlotIsCurrentSlot()
{
    m_roll->startCaptionPressed();
    for (int n = 0; n < 8; ++n)
        m_roll->tick();
    QCOMPARE(m_roll->state().position, 8);
    m_roll->stopCaptionPressed(); // counter 0: slot 8
    m_view->files[7] = "picture 8, replaced on disk";
    m_view->take();
    m_roll->tick();
    const QStringList log = m_view->take();
    QCOMPARE(log.mid(0, 6), (QStringList{"idle-captions 1", "raised 8 0", "reload 8", "raised 8 1",
                                         "slot-picture 8 <empty>",
                                         "result-picture picture 8, replaced on disk"}));
    QCOMPARE(m_view->raisedSlots(), raisedOnly({8}));
    QCOMPARE(m_view->pictures[7], QByteArray("picture 8, replaced on disk"));
    QCOMPARE(wins(8), QStringLiteral("1"));
}

void TestRoll::effectsDisabled()
{
    m_view->effectsOff = true;
    startAndStop();
    QCOMPARE(m_view->effectsShown, 0);
    QCOMPARE(m_view->buttonEnabled, false);
    m_roll->tick();
    QCOMPARE(m_view->endSounds, 1);
    QCOMPARE(m_roll->state().position, 8);
    QCOMPARE(wins(8), QStringLiteral("1"));
    QCOMPARE(m_view->effectsShown, 0);
    QCOMPARE(m_view->buttonEnabled, true);
}

void TestRoll::rollInterval_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("interval");
    QTest::addRow("zero") << QStringLiteral("0") << 30;
    QTest::addRow("negative") << QStringLiteral("-5") << 30;
    QTest::addRow("not a number") << QStringLiteral("abc") << 30;
    QTest::addRow("empty") << QString() << 30;
    QTest::addRow("below one") << QStringLiteral("0.9") << 30;
    QTest::addRow("leading number") << QStringLiteral("12px") << 12;
    QTest::addRow("fraction") << QStringLiteral("1.5") << 1;
    QTest::addRow("full-width") << QStringLiteral("１２") << 12;
}

// A speed that reads as 0 ms or less would leave the roll timer stopped, so
// that no stop could land: it rolls at the default 30 ms instead.
void TestRoll::rollInterval()
{
    QFETCH(QString, speed);
    QFETCH(int, interval);
    m_view->speed = speed;
    m_roll->startCaptionPressed();
    QCOMPARE(m_view->rollInterval, interval);
    m_roll->stopCaptionPressed();
    m_roll->tick();
    QCOMPARE(m_view->endSounds, 1);
    QCOMPARE(wins(8), QStringLiteral("1"));
}

void TestRoll::autoStopArming_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("touched");
    QTest::addRow("off") << QStringLiteral("0") << 0 << false;
    QTest::addRow("1.5 s") << QStringLiteral("1.5") << 1500 << true;
    QTest::addRow("10 s") << QStringLiteral("10") << 10000 << true;
    QTest::addRow("full-width") << QStringLiteral("２") << 2000 << true;
    QTest::addRow("huge") << QStringLiteral("1e12") << std::numeric_limits<qint32>::max() << true;
    QTest::addRow("negative") << QStringLiteral("-3") << 0 << true;
    QTest::addRow("not a number") << QStringLiteral("abc") << 0 << true;
    QTest::addRow("zero written otherwise") << QStringLiteral("0.0") << 0 << true;
}

// Every request arms it, even one refused for an empty box.
void TestRoll::autoStopArming()
{
    QFETCH(QString, text);
    QFETCH(int, interval);
    QFETCH(bool, touched);
    m_view->autoStop = text;
    m_draw->setTable(PrizeTable{});
    m_roll->startStopPress();
    QCOMPARE(m_view->emptyMessages, 1);
    QCOMPARE(m_view->autoStopInterval, interval);
    QCOMPARE(m_view->take().join(';').contains(u"auto-stop"), touched);
}

// The auto-stop belongs to the roll that armed it: a stop by any means
// leaves it stopped, and every roll started gets the whole delay (stopped,
// then set), even when the timer already runs with it.
void TestRoll::autoStopBelongsToItsRoll()
{
    const auto autoStopCalls = [this] { return m_view->take().filter(u"auto-stop"_qs); };
    const QStringList restarted{"auto-stop 10000", "auto-stop 0", "auto-stop 10000"};
    m_view->autoStop = QStringLiteral("10");
    m_draw->setTable(PrizeTable{});
    m_roll->startStopPress(); // refused, yet armed
    QCOMPARE(m_view->autoStopInterval, 10000);
    m_draw->setTable(PrizeTable::defaults());
    m_view->take();
    m_roll->startStopPress();
    QCOMPARE(autoStopCalls(), restarted);
    m_roll->tick();
    m_roll->startStopPress(); // the keyboard: 按钮1
    QCOMPARE(m_view->autoStopInterval, 0);
    m_roll->tick();
    QCOMPARE(wins(8), QStringLiteral("1"));

    m_view->take();
    m_roll->startStopPress();
    QCOMPARE(autoStopCalls(), restarted);
    m_roll->startStopPress();
    m_roll->stopCaptionPressed(); // started again before the landing tick
    QCOMPARE(m_roll->state().runFlag, 1);
    QCOMPARE(autoStopCalls().mid(2), restarted);
    QCOMPARE(m_view->autoStopInterval, 10000);
    m_roll->stopCaptionPressed(); // the auto-stop tick
    QCOMPARE(m_view->autoStopInterval, 0);
    m_roll->tick();
    QCOMPARE(wins(8), QStringLiteral("2"));

    // Firing while idle only disarms it.
    m_view->take();
    m_roll->stopCaptionPressed();
    QCOMPARE(m_view->take(), QStringList{"auto-stop 0"});
}

// Between a stop request and its landing only the stop caption can reach
// the roll; it starts it again.
void TestRoll::restartWhileStopping()
{
    startAndStop();
    m_roll->stopCaptionPressed();
    QCOMPARE(m_roll->state().runFlag, 1);
    QCOMPARE(m_roll->state().tickBudget, 110874);
    QCOMPARE(m_view->musicStarts, 2);
    m_roll->tick();
    QCOMPARE(m_view->endSounds, 0);
    QCOMPARE(m_roll->state().position, 1);
}

// After a landing on slot 4 the held picture is emptied (a picture
// replacement): the next start leaves 图片框4 empty until the highlight
// has passed it.
void TestRoll::clearedHeldPicture()
{
    m_draw->setTable(PrizeTable{{0, 0, 0, 5, 0, 0, 0, 0}});
    startAndStop();
    m_roll->tick();
    QCOMPARE(m_roll->state().position, 4);
    QCOMPARE(m_view->pictures[3], QByteArray("picture 4"));

    m_roll->clearHeldPicture();
    QVERIFY(m_roll->state().heldPicture.isEmpty());
    m_roll->startStopPress();
    QVERIFY(m_view->pictures[3].isEmpty());
    QCOMPARE(m_view->raisedSlots(), raisedOnly({1, 4}));
    for (int n = 0; n < 4; ++n)
        m_roll->tick();
    QVERIFY(m_view->pictures[3].isEmpty());
    QVERIFY(m_view->result.isEmpty());
    m_roll->tick();
    QCOMPARE(m_view->pictures[3], QByteArray("picture 4"));
}

void TestRoll::byQuantityUntilEmpty()
{
    QVERIFY(writeDrawMode(*m_settings, DrawMode::ByQuantity));
    const QStringList stock{"1", "0", "0", "0", "0", "0", "0", "1"};
    for (int i = 0; i < 8; ++i)
        QVERIFY(m_settings->writeZbt(keys::kPrizeValue[i], stock[i]));
    for (int roll = 0; roll < 2; ++roll) {
        startAndStop();
        m_roll->tick();
    }
    QCOMPARE(wins(1), QStringLiteral("1"));
    QCOMPARE(wins(8), QStringLiteral("1"));

    const RollState before = m_roll->state();
    const auto raisedBefore = m_view->raisedSlots();
    m_view->take();
    m_roll->startCaptionPressed();
    QCOMPARE(m_view->take(), (QStringList{"result-visible 1", "close-effect", "result-visible 0",
                                          "empty-box"}));
    QCOMPARE(m_view->emptyMessages, 1);
    QCOMPARE(m_view->resultVisible, false);
    QCOMPARE(m_roll->state().runFlag, before.runFlag);
    QCOMPARE(m_roll->state().position, before.position);
    QCOMPARE(m_roll->state().heldPicture, before.heldPicture);
    QCOMPARE(m_view->raisedSlots(), raisedBefore);
    QCOMPARE(m_view->caption, Roll::kStartCaption);

    QVERIFY(results::resetAll(*m_settings));
    m_roll->startCaptionPressed();
    QCOMPARE(m_roll->state().runFlag, 1);
}

void TestRoll::designation_data()
{
    QTest::addColumn<PrizeTable>("counts");
    QTest::addColumn<int>("slot");
    QTest::addRow("defaults") << PrizeTable::defaults() << 1;
    QTest::addRow("slot 1 without stock") << PrizeTable{{0, 0, 2, 0, 0, 0, 9, 9}} << 3;
}

// Armed twice before the roll, it still designates one landing only.
void TestRoll::designation()
{
    QFETCH(PrizeTable, counts);
    QFETCH(int, slot);
    m_draw->setTable(counts);
    m_view->armed = true;
    m_clock = 1;
    startAndStop();
    m_roll->tick();
    QCOMPARE(m_roll->state().position, slot);
    QCOMPARE(m_view->armed, false);
    QCOMPARE(wins(slot), QStringLiteral("1"));

    startAndStop();
    m_roll->tick();
    QVERIFY(m_roll->state().position != 1);
}

void TestRoll::runOutDrawsFromTheBox_data()
{
    QTest::addColumn<PrizeTable>("counts");
    QTest::addColumn<bool>("designated");
    QTest::addColumn<int>("slot");
    // Tickets 1-3 are slot 3's, 4-8 slot 6's; the counter 0 draws ticket 7.
    QTest::addRow("drawn") << PrizeTable{{0, 0, 3, 0, 0, 5, 0, 0}} << false << 6;
    QTest::addRow("designated") << PrizeTable{{0, 0, 3, 0, 0, 5, 0, 0}} << true << 3;
}

// Never stopped, the roll asks for its own stop on the tick that runs its
// budget out (the highlight would be on slot 2 then), and lands at once on
// a slot drawn from that box: no fireworks, the music off, the chime.
void TestRoll::runOutDrawsFromTheBox()
{
    QFETCH(PrizeTable, counts);
    QFETCH(bool, designated);
    QFETCH(int, slot);
    m_draw->setTable(counts);
    m_view->armed = designated;
    m_view->autoStop = QStringLiteral("4000");
    m_roll->startStopPress();
    QCOMPARE(m_roll->state().tickBudget, 110874);
    tickUntilBudgetIsOut();
    QCOMPARE(m_roll->state().position, slot);
    QCOMPARE(m_view->armed, false);
    QCOMPARE(m_view->idleCaptions, true);
    QCOMPARE(m_view->endSounds, 1);
    QCOMPARE(m_view->effectsShown, 0);
    QCOMPARE(m_view->musicStops, 1);
    QCOMPARE(m_view->autoStopInterval, 0);
    QCOMPARE(m_roll->state().runFlag, 0);
    QCOMPARE(m_view->caption, Roll::kStartCaption);
    QCOMPARE(m_view->rollInterval, 0);
    QCOMPARE(wins(slot), QStringLiteral("1"));
    QCOMPARE(wins(2), QString());

    m_roll->startStopPress();
    QCOMPARE(m_roll->state().runFlag, 1);
}

// By quantity, the last ticket goes to another copy of the program during
// the roll: when the budget runs out nothing is counted, and the roll ends
// as a request with no ticket is answered.
void TestRoll::runOutOnEmptyBox()
{
    QVERIFY(writeDrawMode(*m_settings, DrawMode::ByQuantity));
    QVERIFY(m_settings->writeZbt(keys::kPrizeValue[0], u"1"));
    m_roll->startStopPress();
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j1", u"1"));
    tickUntilBudgetIsOut();
    QCOMPARE(m_view->emptyMessages, 1);
    QCOMPARE(m_view->endSounds, 0);
    QCOMPARE(m_view->musicStops, 1);
    QCOMPARE(m_view->rollInterval, 0);
    QCOMPARE(m_view->caption, Roll::kStartCaption);
    QCOMPARE(m_view->buttonEnabled, true);
    QCOMPARE(m_view->idleCaptions, true);
    QCOMPARE(m_view->resultVisible, false);
    QCOMPARE(m_roll->state().runFlag, 0);
    QCOMPARE(wins(1), QStringLiteral("1"));
    for (int slot = 2; slot <= 8; ++slot)
        QCOMPARE(wins(slot), QString());
}

// The stock is used up between an accepted stop and its landing tick, and a
// refused stop request falls in that gap: the tick keeps the roll going.
void TestRoll::emptyBoxAtLandingTick()
{
    QVERIFY(writeDrawMode(*m_settings, DrawMode::ByQuantity));
    QVERIFY(m_settings->writeZbt(keys::kPrizeValue[0], u"1"));
    m_roll->startStopPress();
    m_roll->tick();
    m_roll->tick();
    m_roll->startStopPress();
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j1", u"1"));
    m_roll->stopCaptionPressed();
    QCOMPARE(m_view->emptyMessages, 1);
    QCOMPARE(m_roll->state().runFlag, 0);

    m_view->take();
    m_roll->tick();
    QCOMPARE(m_roll->state().runFlag, 1);
    QCOMPARE(m_roll->state().position, 3);
    QCOMPARE(m_roll->state().tickBudget, 110874 - 3);
    QCOMPARE(m_view->endSounds, 0);
    QCOMPARE(m_view->buttonEnabled, true);
    QCOMPARE(m_view->caption, Roll::kStopCaption);
    QCOMPARE(m_view->musicStarts, 2);
    QVERIFY(m_view->take().contains(u"close-effect"_qs));
    QCOMPARE(wins(1), QStringLiteral("1"));

    QVERIFY(results::resetAll(*m_settings));
    m_roll->stopCaptionPressed();
    m_roll->tick();
    QCOMPARE(m_roll->state().position, 1);
    QCOMPARE(wins(1), QStringLiteral("1"));
    QCOMPARE(m_view->endSounds, 1);
}

// A landing whose win cannot be stored (here jieguo.a is a folder) still
// lands, and then says the win was not counted; a counted one says nothing.
void TestRoll::uncountedWinIsReported()
{
    startAndStop();
    m_roll->tick();
    QVERIFY(!m_view->take().contains(u"win-not-counted"_qs));
    QCOMPARE(wins(8), QStringLiteral("1"));

    QVERIFY(QFile::remove(m_settings->path(DataFile::Results)));
    QVERIFY(QDir().mkpath(m_settings->path(DataFile::Results)));
    startAndStop();
    m_view->take();
    m_roll->tick();
    const QStringList landing = m_view->take();
    QCOMPARE(landing.last(), u"win-not-counted"_qs);
    QVERIFY(landing.contains(u"end-sound"_qs));
    QCOMPARE(m_roll->state().runFlag, 0);
    QCOMPARE(m_view->caption, Roll::kStartCaption);
    // The history holds no line for a win the counts do not hold.
    QFile history(m_history->path());
    QVERIFY(history.open(QIODevice::ReadOnly));
    QCOMPARE(history::parse(history.readAll()).size(), 1);
}

// A history that cannot be written (a folder stands at its name, which stops
// root as well) leaves every win counted and is reported at the first
// landing only.
void TestRoll::unkeptHistoryIsReportedOnce()
{
    QVERIFY(QDir().mkpath(m_history->path()));
    QStringList notes;
    for (int roll = 0; roll < 3; ++roll) {
        startAndStop();
        m_roll->tick();
        notes += m_view->take().filter(u"history-not-kept"_qs);
    }
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes.first().size() > u"history-not-kept "_qs.size(), "no reason given");
    QCOMPARE(m_view->endSounds, 3);
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot)
        total += wins(slot).toInt();
    QCOMPARE(total, 3);
}

QTEST_GUILESS_MAIN(TestRoll)
#include "test_roll.moc"
