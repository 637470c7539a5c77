#include "support_history.h"
#include "support_settingsfolder.h"

#include "core/historyfile.h"
#include "core/keys.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/roll.h"
#include "core/drawhistory.h"
#include "core/settingsfile.h"
#include "fakerollview.h"
#include "platform/gbkcodec.h"

#include <QDir>
#include <QFile>
#include <QTest>

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
    void stopsBetweenStopAndLanding();
    void nextStartNamesLastLanding();
    void byQuantityUntilEmpty();
    void runOutDrawsFromTheBox_data();
    void runOutDrawsFromTheBox();
    void runOutOnEmptyBox();
    void emptyBoxAtLandingTick();
    void uncountedWinIsReported();
    void unkeptHistoryIsReportedOnce();

private:
    void startAndStop();
    void tickUntilBudgetIsOut();
    RollPhase phase() const { return m_roll->state().phase; }
    QString wins(int slot) const { return m_history->counts().text(slot); }

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
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByProbability));
    m_clock = 0;
    m_draw = std::make_unique<Draw>([this] { return m_clock; });
    m_draw->setTable(PrizeTable::defaults());
    m_view = std::make_unique<FakeRollView>();
    m_roll = std::make_unique<Roll>(*m_view, *m_settings, *m_history, *m_draw);
}

void TestRoll::startAndStop()
{
    m_roll->start();
    m_roll->stop();
}

// No stop: the roll runs to the end of its budget.
void TestRoll::tickUntilBudgetIsOut()
{
    for (qint32 n = m_roll->state().tickBudget; n > 0; --n)
        m_roll->tick();
}

// The first roll ends nowhere before it: it starts after slot 0.
void TestRoll::firstRoll()
{
    m_roll->start();
    QCOMPARE(m_view->take(), (QStringList{"requested", "started 0"}));
    QCOMPARE(phase(), RollPhase::Rolling);
    QCOMPARE(m_roll->state().tickBudget, 110874);

    m_roll->tick();
    m_roll->tick();
    QCOMPARE(m_view->take(), (QStringList{"step 8>1", "step 1>2"}));
    QCOMPARE(m_roll->state().tickBudget, 110872);
    // A start while rolling does nothing.
    m_roll->start();
    QVERIFY(m_view->take().isEmpty());
}

// The landing tick leaves slot 8, whatever the drawn slot; the end sound
// (the landed event) comes before the win is counted.
void TestRoll::stopBeforeFirstTick()
{
    m_roll->start();
    m_clock = 1;
    m_view->take();
    m_roll->stop();
    QCOMPARE(m_view->take(), (QStringList{"requested", "stop", "disarmed"}));
    QCOMPARE(phase(), RollPhase::Stopping);

    QString winsAtLanding = u"?"_qs;
    m_view->onLanded = [&](int slot) { winsAtLanding = wins(slot); };
    m_roll->tick();
    QCOMPARE(m_view->take(), (QStringList{"step 8>6", "landed 6", "counted"}));
    QCOMPARE(winsAtLanding, QString());
    QCOMPARE(wins(6), QStringLiteral("1"));
    QCOMPARE(m_view->outcomes.last().saved, DrawHistory::Saved::Stored);
    QCOMPARE(phase(), RollPhase::Idle);
    QCOMPARE(m_roll->state().tickBudget, 0);
}

// The slot left and the slot landed on are one: the step says so, and the
// screen reloads the slot before it takes its picture.
void TestRoll::drawnSlotIsCurrentSlot()
{
    m_roll->start();
    for (int n = 0; n < 8; ++n)
        m_roll->tick();
    m_roll->stop(); // counter 0: slot 8
    m_view->take();
    m_roll->tick();
    QCOMPARE(m_view->take(), (QStringList{"step 8>8", "landed 8", "counted"}));
    QCOMPARE(wins(8), QStringLiteral("1"));
}

// Between a stop request and its landing the screen still offers a stop: a
// start does nothing, a stop starts the roll again with a fresh budget, and
// the view keeps the auto-stop that start armed. Every other stop has the
// view disarm it.
void TestRoll::stopsBetweenStopAndLanding()
{
    startAndStop();
    m_view->take();
    m_roll->start();
    QVERIFY(m_view->take().isEmpty());
    m_roll->stop();
    QCOMPARE(m_view->take(), (QStringList{"requested", "started 0", "kept"}));
    QCOMPARE(phase(), RollPhase::Rolling);
    QCOMPARE(m_roll->state().tickBudget, 110874);
    m_roll->tick();
    QCOMPARE(m_roll->state().position, 1);
    QCOMPARE(phase(), RollPhase::Rolling);

    m_roll->stop();
    QCOMPARE(m_view->take(), (QStringList{"step 8>1", "requested", "stop", "disarmed"}));
    m_roll->tick();
    m_view->take();
    m_roll->stop(); // idle: the auto-stop tick only disarms
    QCOMPARE(m_view->take(), QStringList{"disarmed"});
}

// The slot a roll landed on is named again when the next roll starts (the
// screen gives it back its picture then), and the highlight starts over
// from slot 1.
void TestRoll::nextStartNamesLastLanding()
{
    m_draw->setTable(PrizeTable{{0, 0, 0, 5, 0, 0, 0, 0}});
    startAndStop();
    m_roll->tick();
    QCOMPARE(m_roll->state().position, 4);

    m_view->take();
    m_roll->startOrStop();
    QCOMPARE(m_view->take(), (QStringList{"requested", "started 4"}));
    QCOMPARE(m_roll->state().position, 0);
    m_roll->tick();
    QCOMPARE(m_view->take(), QStringList{"step 8>1"});
}

// A request that finds no ticket changes nothing of the roll.
void TestRoll::byQuantityUntilEmpty()
{
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByQuantity));
    const QStringList stock{"1", "0", "0", "0", "0", "0", "0", "1"};
    for (int i = 0; i < 8; ++i)
        QVERIFY(m_settings->writeSetting(keys::kPrizeValue[i], stock[i]));
    for (int roll = 0; roll < 2; ++roll) {
        startAndStop();
        m_roll->tick();
    }
    QCOMPARE(wins(1), QStringLiteral("1"));
    QCOMPARE(wins(8), QStringLiteral("1"));

    const RollState before = m_roll->state();
    m_view->take();
    m_roll->start();
    QCOMPARE(m_view->take(), (QStringList{"requested", "refused"}));
    QCOMPARE(phase(), before.phase);
    QCOMPARE(m_roll->state().position, before.position);

    QVERIFY(m_history->resetAll());
    m_roll->start();
    QCOMPARE(phase(), RollPhase::Rolling);
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
// a slot drawn from that box, without a stop request's fireworks.
void TestRoll::runOutDrawsFromTheBox()
{
    QFETCH(PrizeTable, counts);
    QFETCH(bool, designated);
    QFETCH(int, slot);
    m_draw->setTable(counts);
    if (designated)
        m_roll->armDesignation();
    m_roll->startOrStop();
    QCOMPARE(m_roll->state().tickBudget, 110874);
    m_view->take();
    tickUntilBudgetIsOut();
    QStringList events = m_view->take();
    // The designation is used up by the landing's draw, before the step.
    QCOMPARE(events.removeAll(u"used"_qs), designated ? 1 : 0);
    QCOMPARE(events.mid(events.size() - 4),
             (QStringList{"ran-out", QStringLiteral("step 1>%1").arg(slot),
                          QStringLiteral("landed %1").arg(slot), "counted"}));
    QVERIFY(!events.contains(u"stop"_qs));
    QCOMPARE(phase(), RollPhase::Idle);
    QCOMPARE(wins(slot), QStringLiteral("1"));
    QCOMPARE(wins(2), QString());

    m_roll->startOrStop();
    QCOMPARE(phase(), RollPhase::Rolling);
}

// By quantity, the last ticket goes to another copy of the program during
// the roll: when the budget runs out nothing is counted, and the roll ends
// where it stands as a request with no ticket is answered.
void TestRoll::runOutOnEmptyBox()
{
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByQuantity));
    QVERIFY(m_settings->writeSetting(keys::kPrizeValue[0], u"1"));
    m_roll->startOrStop();
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j1", u"1"));
    m_view->take();
    tickUntilBudgetIsOut();
    const QStringList events = m_view->take();
    const int position = m_roll->state().position;
    QCOMPARE(events.mid(events.size() - 2),
             (QStringList{"ran-out", QStringLiteral("ended-empty %1").arg(position)}));
    QCOMPARE(phase(), RollPhase::Idle);
    QCOMPARE(wins(1), QStringLiteral("1"));
    for (int slot = 2; slot <= 8; ++slot)
        QCOMPARE(wins(slot), QString());
}

// The stock is used up between an accepted stop and its landing tick, and a
// refused stop request falls in that gap: the tick keeps the roll going
// with the budget it had before the stop.
void TestRoll::emptyBoxAtLandingTick()
{
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByQuantity));
    QVERIFY(m_settings->writeSetting(keys::kPrizeValue[0], u"1"));
    m_roll->startOrStop();
    m_roll->tick();
    m_roll->tick();
    m_roll->startOrStop();
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j1", u"1"));
    m_roll->stop();
    QCOMPARE(phase(), RollPhase::Stopping);

    m_view->take();
    m_roll->tick();
    QCOMPARE(m_view->take(), (QStringList{"resumed", "step 2>3"}));
    QCOMPARE(phase(), RollPhase::Rolling);
    QCOMPARE(m_roll->state().tickBudget, 110874 - 3);

    QVERIFY(m_history->resetAll());
    m_roll->stop();
    m_roll->tick();
    QCOMPARE(m_roll->state().position, 1);
    QCOMPARE(wins(1), QStringLiteral("1"));
}

// A landing whose win cannot be stored (here jieguo.a is a folder) still
// lands, and the view learns the win was refused.
void TestRoll::uncountedWinIsReported()
{
    startAndStop();
    m_roll->tick();
    QCOMPARE(wins(8), QStringLiteral("1"));

    QVERIFY(QFile::remove(m_settings->path(DataFile::Results)));
    QVERIFY(QDir().mkpath(m_settings->path(DataFile::Results)));
    startAndStop();
    m_roll->tick();
    QCOMPARE(m_view->outcomes.size(), 2);
    QCOMPARE(m_view->outcomes.first().saved, DrawHistory::Saved::Stored);
    QCOMPARE(m_view->outcomes.last().saved, DrawHistory::Saved::Refused);
    QCOMPARE(phase(), RollPhase::Idle);
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
    for (int roll = 0; roll < 3; ++roll) {
        startAndStop();
        m_roll->tick();
    }
    QCOMPARE(m_view->outcomes.size(), 3);
    QVERIFY(!m_view->outcomes[0].historyFailure.isEmpty());
    QVERIFY(m_view->outcomes[1].historyFailure.isEmpty());
    QVERIFY(m_view->outcomes[2].historyFailure.isEmpty());
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot)
        total += wins(slot).toInt();
    QCOMPARE(total, 3);
}

QTEST_GUILESS_MAIN(TestRoll)
#include "test_roll.moc"
