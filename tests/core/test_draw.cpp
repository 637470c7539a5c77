#include "support_settingsfolder.h"

#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/drawpool.h"
#include "core/keys.h"
#include "core/lotteryrandom.h"
#include "core/prizetable.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/settingsfile.h"
#include "platform/gbkcodec.h"

#include <QTest>

#include <array>
#include <limits>
#include <vector>

namespace {

LotteryRandom fixedClock(quint32 counter)
{
    return LotteryRandom([counter] { return counter; });
}

PrizeTable table(std::array<qint32, 8> values)
{
    return PrizeTable{values};
}

// The box as a plain list of slot numbers, slot 1 first: what the cumulative
// counts must agree with, ticket by ticket.
std::vector<int> listedBox(const PrizeTable &t)
{
    std::vector<int> box;
    for (int slot = 1; slot <= 8; ++slot)
        for (qint32 n = 0; n < t[slot]; ++n)
            box.push_back(slot);
    return box;
}

void writePrizeValues(SettingsFile &settings, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY(settings.writeSetting(keys::kPrizeValue[i], texts[i]));
}

} // namespace

class TestDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void prizeTableFromSettings_data();
    void prizeTableFromSettings();
    void drawMode_data();
    void drawMode();
    void drawModeRoundTrip();

    void randomWorkedValues_data();
    void randomWorkedValues();
    void randomEdges();
    void randomWidestRanges();
    void randomWideRangeReachesEverywhere();

    void ticketToSlot_data();
    void ticketToSlot();
    void cumulativeMatchesListedBox_data();
    void cumulativeMatchesListedBox();
    void hugeCounts();

    void drawSlotWorkedExample();
    void designation_data();
    void designation();
    void byQuantityStock();
    void byQuantityUntilEmpty();
    void byProbabilityKeepsTable();
    void stockStaysAfterSwitchToProbability();
    void unsavedValuesHoldUntilSaved();
    void freshInstallationIsEmpty();

private:
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
};

void TestDraw::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = &m_folder->settings();
}

void TestDraw::prizeTableFromSettings_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QList<int>>("expected");
    QTest::addRow("nothing stored: defaults")
        << QStringList() << QList<int>{1, 2, 4, 8, 10, 15, 20, 50};
    QTest::addRow("first empty: defaults despite the others")
        << QStringList{"", "9", "9", "9", "9", "9", "9", "9"} << QList<int>{1, 2, 4, 8, 10, 15, 20, 50};
    QTest::addRow("conversions")
        << QStringList{"3.9", "-2", "abc", QStringLiteral("５"), "", "7", "1e3", "99999999999"}
        << QList<int>{3, -2, 0, 5, 0, 7, 1000, std::numeric_limits<qint32>::max()};
    QTest::addRow("only the first")
        << QStringList{"4"} << QList<int>{4, 0, 0, 0, 0, 0, 0, 0};
}

void TestDraw::prizeTableFromSettings()
{
    QFETCH(QStringList, stored);
    QFETCH(QList<int>, expected);
    writePrizeValues(*m_settings, stored);
    const PrizeTable t = Config(*m_settings).prizeTable();
    for (int slot = 1; slot <= 8; ++slot)
        QCOMPARE(t[slot], expected[slot - 1]);
}

void TestDraw::drawMode_data()
{
    QTest::addColumn<QString>("lx");
    QTest::addColumn<bool>("byProbability");
    QTest::addRow("missing") << QString() << false;
    QTest::addRow("true flag") << QStringLiteral("真") << true;
    QTest::addRow("false flag") << QStringLiteral("假") << false;
    QTest::addRow("one") << QStringLiteral("1") << false;
    QTest::addRow("true in Latin") << QStringLiteral("true") << false;
    QTest::addRow("doubled flag") << QStringLiteral("真真") << false;
}

void TestDraw::drawMode()
{
    QFETCH(QString, lx);
    QFETCH(bool, byProbability);
    if (!lx.isEmpty())
        QVERIFY(m_settings->writeSetting(keys::kDrawMode, lx));
    QCOMPARE(Config(*m_settings).drawMode(),
             byProbability ? DrawMode::ByProbability : DrawMode::ByQuantity);
}

void TestDraw::drawModeRoundTrip()
{
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByProbability));
    QCOMPARE(m_settings->readSetting(keys::kDrawMode), QStringLiteral("真"));
    QCOMPARE(Config(*m_settings).drawMode(), DrawMode::ByProbability);
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByQuantity));
    QCOMPARE(m_settings->readSetting(keys::kDrawMode), QStringLiteral("假"));
    QCOMPARE(Config(*m_settings).drawMode(), DrawMode::ByQuantity);
}

void TestDraw::randomWorkedValues_data()
{
    QTest::addColumn<quint32>("counter");
    QTest::addColumn<qint64>("a");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<qint32>("stateAfter");
    const qint64 top = (qint64(1) << 31) - 1; // a range of 2^31 shows g itself
    QTest::addRow("0: g") << 0u << qint64(0) << top << qint64(2530958) << 2531011;
    QTest::addRow("0: 1..110") << 0u << qint64(1) << qint64(110) << qint64(79) << 2531011;
    QTest::addRow("0: budget") << 0u << qint64(100000) << qint64(130000) << qint64(110874) << 2531011;
    QTest::addRow("1: g") << 1u << qint64(0) << top << qint64(2744979) << 2745024;
    QTest::addRow("1: 1..110") << 1u << qint64(1) << qint64(110) << qint64(40) << 2745024;
    QTest::addRow("max: 1..110") << 4294967295u << qint64(1) << qint64(110) << qint64(109)
                                 << 2531011 - 214013;
}

void TestDraw::randomWorkedValues()
{
    QFETCH(quint32, counter);
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    QFETCH(qint64, expected);
    QFETCH(qint32, stateAfter);
    LotteryRandom random = fixedClock(counter);
    random.reseed();
    QCOMPARE(random.state(), qint32(counter));
    QCOMPARE(random.next(a, b), expected);
    QCOMPARE(random.state(), stateAfter);
}

void TestDraw::randomEdges()
{
    LotteryRandom random = fixedClock(123456);
    random.reseed();
    QCOMPARE(random.next(5, 5), qint64(5));
    QCOMPARE(random.next(-3, -3), qint64(-3));
    random.setState(0);
    const qint64 forward = random.next(10, 20);
    random.setState(0);
    QCOMPARE(random.next(20, 10), forward);
}

// The widest ranges join three steps into 64 bits: the whole of qint64
// gives negative and positive values alike, and -1..max reaches past 2^62
// (two steps would stop there) and never goes below -1. The seeds are
// fixed, so the counts are the same on every run.
void TestDraw::randomWidestRanges()
{
    const qint64 lo = std::numeric_limits<qint64>::min();
    const qint64 hi = std::numeric_limits<qint64>::max();
    int negative = 0;
    int beyondTwoSteps = 0;
    for (quint32 counter = 0; counter < 1000; ++counter) {
        LotteryRandom random = fixedClock(counter * 7919u);
        random.reseed();
        negative += random.next(lo, hi) < 0 ? 1 : 0;
        random.reseed();
        const qint64 w = random.next(-1, hi);
        QVERIFY(w >= -1);
        beyondTwoSteps += w > (qint64(1) << 62) ? 1 : 0;
    }
    QVERIFY2(negative > 400 && negative < 600, qPrintable(QString::number(negative)));
    QVERIFY2(beyondTwoSteps > 400, qPrintable(QString::number(beyondTwoSteps)));
}

// One step gives g < 2^31; eight stocks of two billion need 2^34 tickets.
// Counter values taken one apart must reach the whole box and every slot
// about equally.
void TestDraw::randomWideRangeReachesEverywhere()
{
    DrawPool pool;
    pool.rebuild(table({2000000000, 2000000000, 2000000000, 2000000000, 2000000000, 2000000000,
                        2000000000, 2000000000}));
    std::array<int, 8> wins{};
    qint64 highest = 0;
    const int draws = 8000;
    for (quint32 counter = 0; counter < quint32(draws); ++counter) {
        LotteryRandom random = fixedClock(counter * 7919u);
        random.reseed();
        const qint64 k = random.next(1, pool.size());
        QVERIFY(k >= 1 && k <= pool.size());
        highest = std::max(highest, k);
        ++wins[pool.slotOfTicket(k) - 1];
    }
    QVERIFY(highest > pool.size() - pool.size() / 100);
    for (int slot = 1; slot <= 8; ++slot)
        QVERIFY2(wins[slot - 1] > 800 && wins[slot - 1] < 1200,
                 qPrintable(QStringLiteral("slot %1: %2").arg(slot).arg(wins[slot - 1])));
}

void TestDraw::ticketToSlot_data()
{
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<int>("slot");
    QTest::addRow("1") << qint64(1) << qint64(1) << 1;
    QTest::addRow("2-3") << qint64(2) << qint64(3) << 2;
    QTest::addRow("4-7") << qint64(4) << qint64(7) << 3;
    QTest::addRow("8-15") << qint64(8) << qint64(15) << 4;
    QTest::addRow("16-25") << qint64(16) << qint64(25) << 5;
    QTest::addRow("26-40") << qint64(26) << qint64(40) << 6;
    QTest::addRow("41-60") << qint64(41) << qint64(60) << 7;
    QTest::addRow("61-110") << qint64(61) << qint64(110) << 8;
}

void TestDraw::ticketToSlot()
{
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(int, slot);
    DrawPool pool;
    pool.rebuild(PrizeTable::defaults());
    QCOMPARE(pool.size(), qint64(110));
    for (qint64 k = first; k <= last; ++k)
        QCOMPARE(pool.slotOfTicket(k), slot);
}

void TestDraw::cumulativeMatchesListedBox_data()
{
    QTest::addColumn<PrizeTable>("counts");
    QTest::addRow("defaults") << PrizeTable::defaults();
    QTest::addRow("gaps and negatives") << table({0, 3, -5, 0, 1, 0, 7, -1});
    QTest::addRow("only the last") << table({0, 0, 0, 0, 0, 0, 0, 4});
    QTest::addRow("only the first") << table({9, 0, 0, 0, 0, 0, 0, 0});
    QTest::addRow("wide") << table({1, 1000, 1, 70000, 1, 1, 250000, 1});
}

void TestDraw::cumulativeMatchesListedBox()
{
    QFETCH(PrizeTable, counts);
    DrawPool pool;
    pool.rebuild(counts);
    const std::vector<int> box = listedBox(counts);
    QCOMPARE(pool.size(), qint64(box.size()));
    for (std::size_t k = 1; k <= box.size(); ++k)
        QCOMPARE(pool.slotOfTicket(qint64(k)), box[k - 1]);
}

void TestDraw::hugeCounts()
{
    DrawPool pool;
    const qint32 max = std::numeric_limits<qint32>::max();
    pool.rebuild(table({max, max, max, max, max, max, max, max}));
    QCOMPARE(pool.size(), 8 * qint64(max));
    QCOMPARE(pool.slotOfTicket(qint64(max)), 1);
    QCOMPARE(pool.slotOfTicket(qint64(max) + 1), 2);
    QCOMPARE(pool.slotOfTicket(7 * qint64(max)), 7);
    QCOMPARE(pool.slotOfTicket(7 * qint64(max) + 1), 8);
    QCOMPARE(pool.slotOfTicket(pool.size()), 8);

    pool.rebuild(table({0, 0, 0, 0, 0, 0, 0, 0}));
    QVERIFY(pool.isEmpty());
    QCOMPARE(pool.slotOfTicket(1), 0);
}

void TestDraw::drawSlotWorkedExample()
{
    DrawPool pool;
    pool.rebuild(PrizeTable::defaults());
    LotteryRandom one = fixedClock(1);
    QCOMPARE(drawSlot(pool, false, one), 6);
    LotteryRandom zero = fixedClock(0);
    QCOMPARE(drawSlot(pool, false, zero), 8);
}

void TestDraw::designation_data()
{
    QTest::addColumn<PrizeTable>("counts");
    QTest::addColumn<int>("slot");
    QTest::addRow("defaults") << PrizeTable::defaults() << 1;
    QTest::addRow("slot 1 without stock") << table({0, 0, 5, 1, 1, 1, 1, 1}) << 3;
    QTest::addRow("slot 1 negative") << table({-4, 2, 0, 0, 0, 0, 0, 0}) << 2;
    QTest::addRow("only the last") << table({0, 0, 0, 0, 0, 0, 0, 1}) << 8;
}

// A designated draw takes the first ticket and leaves the generator alone.
// The landing that honours the designation uses it up, however often it was
// armed; the history line says so.
void TestDraw::designation()
{
    QFETCH(PrizeTable, counts);
    QFETCH(int, slot);
    DrawPool pool;
    pool.rebuild(counts);
    int clockReads = 0;
    LotteryRandom random([&clockReads] { ++clockReads; return 77u; });
    random.setState(-5);
    QCOMPARE(drawSlot(pool, true, random), slot);
    QCOMPARE(clockReads, 0);
    QCOMPARE(random.state(), -5);

    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByProbability));
    Draw draw([] { return 0u; });
    draw.setTable(counts);
    QVERIFY(draw.refill(*m_settings, *m_settings));
    draw.armDesignation();
    draw.armDesignation();
    QCOMPARE(draw.drawLanding(), slot);
    QVERIFY(draw.takeLandingMark().designated);
    QVERIFY(!draw.designationArmed());
    draw.drawLanding();
    QVERIFY(!draw.takeLandingMark().designated);
}

// Stock = value - wins as numbers, truncated; surplus wins leave no ticket.
void TestDraw::byQuantityStock()
{
    writePrizeValues(*m_settings, {"3.9", "2", "abc", QStringLiteral("５"), "10", "1e20", "-1", "4"});
    const QStringList wins{"0.5", "5", "", "1", "abc", "", "", "4"};
    for (int i = 0; i < 8; ++i)
        if (!wins[i].isEmpty())
            QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, keys::kWins[i], wins[i]));
    Draw draw;
    draw.setTable(PrizeTable::defaults());
    QVERIFY(draw.refill(*m_settings, *m_settings));
    const qint32 max = std::numeric_limits<qint32>::max();
    QCOMPARE(draw.table().values, (std::array<qint32, 8>{3, -3, 0, 4, 10, max, -1, 0}));
    QCOMPARE(remainingStock(Config(*m_settings).prizeValueTexts(), *m_settings).values, draw.table().values);
    QCOMPARE(draw.pool().size(), 3 + 4 + 10 + qint64(max));
}

// Every win counted removes a ticket from the next box until none is left;
// the refused refill still leaves the table at the stock, all used up.
void TestDraw::byQuantityUntilEmpty()
{
    writePrizeValues(*m_settings, {"2", "0", "0", "0", "0", "0", "0", "1"});
    Draw draw([] { return 4242u; });
    DrawHistory history(*m_settings);
    std::array<int, 8> wins{};
    int draws = 0;
    while (draw.refill(*m_settings, history.counts())) {
        QVERIFY(draws < 3);
        const int slot = draw.drawLanding();
        ++wins[slot - 1];
        QCOMPARE(history.recordWin(slot), DrawHistory::Saved::Stored);
        ++draws;
    }
    QCOMPARE(draws, 3);
    QCOMPARE(wins, (std::array<int, 8>{2, 0, 0, 0, 0, 0, 0, 1}));
    QVERIFY(draw.pool().isEmpty());
    QCOMPARE(draw.table().values, (std::array<qint32, 8>{0, 0, 0, 0, 0, 0, 0, 0}));

    QVERIFY(history.resetAll());
    QVERIFY(draw.refill(*m_settings, history.counts()));
    QCOMPARE(draw.pool().size(), qint64(3));
}

void TestDraw::byProbabilityKeepsTable()
{
    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByProbability));
    writePrizeValues(*m_settings, {"9", "9", "9", "9", "9", "9", "9", "9"});
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j8", u"40"));
    Draw draw;
    draw.setTable(PrizeTable::defaults());
    for (int round = 0; round < 2; ++round) {
        QVERIFY(draw.refill(*m_settings, *m_settings));
        QCOMPARE(draw.table().values, PrizeTable::defaults().values);
        QCOMPARE(draw.pool().size(), qint64(110));
    }
    draw.setTable(table({0, -1, 0, 0, 0, 0, 0, 0}));
    QVERIFY(!draw.refill(*m_settings, *m_settings));
    QVERIFY(draw.pool().isEmpty());
}

// The stock a draw by quantity left in the table stays the weights after a
// switch to by probability, until the table is set again (start-up, or 确定
// of the prize settings); the stored prize values are not read back.
void TestDraw::stockStaysAfterSwitchToProbability()
{
    writePrizeValues(*m_settings, {"5", "0", "0", "0", "0", "0", "0", "3"});
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j1", u"4"));
    Draw draw;
    draw.setTable(Config(*m_settings).prizeTable());
    QVERIFY(draw.refill(*m_settings, *m_settings));
    QCOMPARE(draw.pool().size(), qint64(1 + 3));

    QVERIFY(Config(*m_settings).setDrawMode(DrawMode::ByProbability));
    QVERIFY(draw.refill(*m_settings, *m_settings));
    QCOMPARE(draw.table().values, (std::array<qint32, 8>{1, 0, 0, 0, 0, 0, 0, 3}));
    QCOMPARE(draw.pool().size(), qint64(1 + 3));

    draw.setTable(Config(*m_settings).prizeTable());
    QVERIFY(draw.refill(*m_settings, *m_settings));
    QCOMPARE(draw.pool().size(), qint64(5 + 3));
}

// Values the file did not take stay the prize values until a save succeeds:
// by quantity the stock is counted from them, less the wins, at every
// request; a successful save hands the values back to the file.
void TestDraw::unsavedValuesHoldUntilSaved()
{
    writePrizeValues(*m_settings, {"1", "1", "1", "1", "1", "1", "1", "1"});
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j3", u"2"));
    Draw draw;
    const std::array<QString, 8> typed{"0", "0", "5", "0", "0", "0", "0", "2.5"};
    draw.setPrizeValues(typed, false);
    QCOMPARE(draw.table().values, (std::array<qint32, 8>{0, 0, 5, 0, 0, 0, 0, 2}));
    QCOMPARE(draw.unsavedValues(), std::optional(typed));
    for (int request = 0; request < 2; ++request) {
        QVERIFY(draw.refill(*m_settings, *m_settings));
        QCOMPARE(draw.table().values, (std::array<qint32, 8>{0, 0, 3, 0, 0, 0, 0, 2}));
    }
    // The landing's history line records the value the draw used.
    const int slot = draw.drawLanding();
    QCOMPARE(draw.takeLandingMark().prizeValue, std::optional(typed[slot - 1]));

    draw.setPrizeValues({"1", "1", "1", "1", "1", "1", "1", "1"}, true);
    QVERIFY(!draw.unsavedValues());
    QVERIFY(draw.refill(*m_settings, *m_settings));
    QCOMPARE(draw.table().values, (std::array<qint32, 8>{1, 1, -1, 1, 1, 1, 1, 1}));
    draw.drawLanding();
    QVERIFY(!draw.takeLandingMark().prizeValue);
}

// Nothing stored reads as by quantity with no stock, whatever the table held.
void TestDraw::freshInstallationIsEmpty()
{
    Draw draw;
    draw.setTable(PrizeTable::defaults());
    QVERIFY(!draw.refill(*m_settings, *m_settings));
    QVERIFY(draw.pool().isEmpty());
    QCOMPARE(draw.table().values, (std::array<qint32, 8>{}));
}

QTEST_GUILESS_MAIN(TestDraw)
#include "test_draw.moc"
