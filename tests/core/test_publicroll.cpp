// The roll in public mode against a real run folder: each draw is counted
// and on the record at its stop request, before any tick moves toward it;
// a stop whose record cannot be written is not taken; every change of the
// box is on the record; and without a commitment no roll starts.
#include "core/historyfile.h"
#include "support_busyfiles.h"
#include "support_settingsfolder.h"

#include "core/expectedbox.h"
#include "core/keys.h"
#include "core/publicdraw.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/roll.h"
#include "core/securerandom.h"
#include "fakerollview.h"

#include <QDir>
#include <QTest>

namespace {

// The system's generator, as a test sets it: fixed bytes, or none at all.
class TestRandom final : public SecureRandom
{
public:
    QByteArray bytes(int size) override { return failing ? QByteArray() : QByteArray(size, char(m_next++)); }
    bool failing = false;

private:
    int m_next = 1;
};

} // namespace

class TestPublicRoll : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void drawIsOnTheRecordBeforeTheLanding();
    void unwritableHistoryKeepsTheRollTurning();
    void runOutWaitsForTheRecordToo();
    void heldCountsOrAFailedSync();
    void changedBoxIsRecordedFirst();
    void noCommitmentNoRoll();
    void expectedBoxFollowsDrawsAndVoids();

private:
    void start();
    // A start, a stop request, the landing tick: the slot landed on.
    int drawOnce();
    // Every line's cells after the header (the program's reader skips 设置).
    QList<QStringList> entries() const;
    QString historyPath() const { return m_folder->filePath(history::kFileName.toString()); }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<DrawHistory> m_history;
    std::unique_ptr<Draw> m_draw;
    TestRandom m_random;
    std::unique_ptr<publicdraw::Keys> m_keys;
    std::unique_ptr<FakeRollView> m_view;
    std::unique_ptr<Roll> m_roll;
    qint64 m_us = 1765000000000000;
};

// By quantity, 2 of slot 3 and 5 of slot 7.
void TestPublicRoll::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    SettingsFile &settings = m_folder->settings();
    QVERIFY(Config(settings).setDrawMode(DrawMode::ByQuantity));
    QVERIFY(settings.writeSetting(keys::kPrizeValue[2], u"2"));
    QVERIFY(settings.writeSetting(keys::kPrizeValue[6], u"5"));
    m_history = std::make_unique<DrawHistory>(settings);
    m_draw = std::make_unique<Draw>();
    m_draw->setWallClock([this] { return m_us += 1000003; });
    m_random.failing = false;
    m_keys = std::make_unique<publicdraw::Keys>(m_random);
    m_history->setPublic(m_keys.get(), [this] {
        static_cast<void>(m_draw->refill(m_folder->settings(), m_history->counts()));
        return m_draw->box();
    });
    m_view = std::make_unique<FakeRollView>();
    m_roll = std::make_unique<Roll>(*m_view, settings, *m_history, *m_draw);
}

void TestPublicRoll::start()
{
    m_roll->startOrStop();
    m_roll->tick();
}

int TestPublicRoll::drawOnce()
{
    start();
    m_roll->startOrStop();
    if (m_roll->state().phase != RollPhase::Stopping)
        return 0;
    m_roll->tick();
    return m_roll->state().position;
}

QList<QStringList> TestPublicRoll::entries() const
{
    QList<QStringList> cells;
    for (const history::Line &line : history::lines(readWholeFile(historyPath())))
        cells.append(line.cells.value_or(QStringList()));
    return cells;
}

// Three draws by quantity: each counted and on its line at the stop request,
// the landing only shows it; the 承诺 carries mode and box, the moments are
// microseconds, and no 设置 line comes between draws that took their ticket.
void TestPublicRoll::drawIsOnTheRecordBeforeTheLanding()
{
    m_history->commit();
    QCOMPARE(m_history->nextDrawNumber(), 1);
    for (int n = 1; n <= 3; ++n) {
        start();
        m_view->take();
        m_roll->startOrStop();
        QCOMPARE(m_view->take(), (QStringList{"requested", "stop"}));
        const QStringList drawn = entries().last();
        const int slot = drawn[1].toInt();
        QCOMPARE(drawn[6], QString::number(n));
        QCOMPARE(drawn[8].size(), 16);
        QCOMPARE(drawn[4], WinCounts(m_folder->settings()).text(slot));
        QCOMPARE(m_history->nextDrawNumber(), n + 1);
        // A press between the stop and its landing tick changes nothing.
        m_roll->startOrStop();
        m_roll->tick();
        QCOMPARE(m_view->take(), (QStringList{u"step 1>"_qs + drawn[1], u"landed "_qs + drawn[1], "counted"}));
        QCOMPARE(m_view->outcomes.last().saved, DrawHistory::Saved::Stored);
    }
    const QList<QStringList> lines = entries();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0][1], u"承诺"_qs);
    QCOMPARE(lines[0][3], u"按数量"_qs);
    QCOMPARE(lines[0][7], u"0 0 2 0 0 0 5 0"_qs);
    int taken3 = 0;
    for (int i = 1; i <= 3; ++i)
        taken3 += lines[i][1] == u"3";
    QCOMPARE(WinCounts(m_folder->settings()).text(3).toInt(), taken3);
    QCOMPARE(WinCounts(m_folder->settings()).text(7).toInt(), 3 - taken3);
}

// A folder at the history's name: the stop is not taken, nothing counted,
// no key used, no line left waiting; once the name is free the next stop
// lands with draw number 1.
void TestPublicRoll::unwritableHistoryKeepsTheRollTurning()
{
    m_history->commit();
    start();
    const QByteArray counts = m_folder->bytes(DataFile::Results);
    QVERIFY(QFile::rename(historyPath(), historyPath() + u".aside"));
    QVERIFY(QDir(m_folder->path()).mkdir(history::kFileName.toString()));
    m_view->take();
    m_roll->startOrStop();
    const QStringList events = m_view->take();
    QCOMPARE(events.size(), 2);
    QVERIFY2(events[1].startsWith(u"not-taken: 中奖记录.csv 无法打开"_qs), qPrintable(events[1]));
    QCOMPARE(m_roll->state().phase, RollPhase::Rolling);
    QCOMPARE(m_folder->bytes(DataFile::Results), counts);
    QCOMPARE(m_history->waitingLines(), 0);
    m_roll->tick();
    QCOMPARE(m_roll->state().phase, RollPhase::Rolling);

    QVERIFY(QDir(m_folder->path()).rmdir(history::kFileName.toString()));
    QVERIFY(QFile::rename(historyPath() + u".aside", historyPath()));
    m_roll->startOrStop();
    QCOMPARE(m_roll->state().phase, RollPhase::Stopping);
    m_roll->tick();
    const QStringList drawn = entries().last();
    QCOMPARE(drawn[6], u"1"_qs);
    QCOMPARE(drawn[1].toInt(), m_roll->state().position);
    QCOMPARE(WinCounts(m_folder->settings()).text(m_roll->state().position), u"1"_qs);
}

// The roll running out is a stop request like the others: not taken, it
// rolls on a lap and asks again.
void TestPublicRoll::runOutWaitsForTheRecordToo()
{
    m_history->commit();
    start();
    QVERIFY(QFile::remove(historyPath()));
    QVERIFY(QDir(m_folder->path()).mkdir(history::kFileName.toString()));
    for (qint32 n = m_roll->state().tickBudget; n > 0; --n)
        m_roll->tick();
    QCOMPARE(m_roll->state().phase, RollPhase::Rolling);
    QCOMPARE(m_roll->state().tickBudget, Roll::kRunOutRetryTicks);
    const QStringList refused = m_view->take();
    QVERIFY(refused.at(refused.size() - 2).startsWith(u"not-taken: "_qs));
    QVERIFY(refused.last().startsWith(u"step "_qs)); // the wheel moves on
    QVERIFY(QDir(m_folder->path()).rmdir(history::kFileName.toString()));
    for (qint32 n = Roll::kRunOutRetryTicks; n > 0; --n)
        m_roll->tick();
    QCOMPARE(m_roll->state().phase, RollPhase::Idle);
    const QStringList events = m_view->take();
    QCOMPARE(events.at(events.size() - 4), u"ran-out"_qs);
    QCOMPARE(events.last(), u"counted"_qs);
    QCOMPARE(entries().last()[6], u"1"_qs);
}

// jieguo.a held past the wait: the stop is not taken, and nothing waits to
// be counted. A line written whose sync then fails has shown its key: the
// draw stands, counted, and its landing tells the failure.
void TestPublicRoll::heldCountsOrAFailedSync()
{
    m_history->commit();
    start();
    BusyFiles files;
    files.holdFor(m_folder->settings().path(DataFile::Results), 60000);
    m_view->take();
    m_roll->startOrStop();
    QCOMPARE(m_view->take().last(), u"not-taken: 中奖结果文件（jieguo.a）正被其他程序占用"_qs);
    QCOMPARE(m_roll->state().phase, RollPhase::Rolling);
    QCOMPARE(m_folder->settings().pendingCount(DataFile::Results), 0);
    QCOMPARE(entries().size(), 1);

    files.release();
    files.failSyncOf = historyPath();
    m_roll->startOrStop();
    QCOMPARE(m_roll->state().phase, RollPhase::Stopping);
    m_roll->tick();
    QVERIFY2(m_view->outcomes.last().historyFailure.startsWith(u"无法存入磁盘"_qs), qPrintable(m_view->outcomes.last().historyFailure));
    const QStringList drawn = entries().last();
    QCOMPARE(drawn[6], u"1"_qs);
    QCOMPARE(WinCounts(m_folder->settings()).text(drawn[1].toInt()), u"1"_qs);
    QCOMPARE(m_history->nextDrawNumber(), 2);
}

// config.a edited between two draws, then the mode switched: each next draw
// has a 设置 line with the new mode and box before it, and only then.
void TestPublicRoll::changedBoxIsRecordedFirst()
{
    m_history->commit();
    const int first = drawOnce();
    QVERIFY(first == 3 || first == 7);
    QVERIFY(m_folder->settings().writeSetting(keys::kPrizeValue[0], u"4"));
    QVERIFY(drawOnce() != 0);
    QVERIFY(Config(m_folder->settings()).setDrawMode(DrawMode::ByProbability));
    QVERIFY(drawOnce() != 0);
    QVERIFY(drawOnce() != 0); // by probability the box stays: no 设置 line
    const QList<QStringList> lines = entries();
    QStringList kinds;
    for (const QStringList &cells : lines)
        kinds << (cells[1].size() == 1 ? u"draw"_qs : cells[1]);
    QCOMPARE(kinds, (QStringList{"承诺", "draw", "设置", "draw", "设置", "draw", "draw"}));
    QString byQuantity = u"4 0 2 0 0 0 5 0"_qs;
    byQuantity[first == 3 ? 4 : 12] = first == 3 ? u'1' : u'4';
    QCOMPARE(lines[2][3], u"按数量"_qs);
    QCOMPARE(lines[2][7], byQuantity);
    QCOMPARE(lines[2][11].size(), 64);
    QCOMPARE(lines[3][7], byQuantity);
    QCOMPARE(lines[4][3], u"按概率"_qs);
    QCOMPARE(lines[4][7], lines[5][7]);
    QCOMPARE(lines[6][7], lines[5][7]);
}

// The system's generator failing: a start counts nothing and writes no win
// line, and says why; the next start request makes the commitment first.
void TestPublicRoll::noCommitmentNoRoll()
{
    m_random.failing = true;
    m_history->commit();
    m_roll->startOrStop();
    QCOMPARE(m_view->take(), (QStringList{"requested", u"start-refused: 无法取得系统随机数"_qs}));
    QCOMPARE(m_roll->state().phase, RollPhase::Idle);
    QVERIFY(m_history->recordedCommitment().isEmpty());
    QVERIFY(entries().isEmpty());
    QVERIFY(m_folder->bytes(DataFile::Results).isEmpty());

    m_random.failing = false;
    m_roll->startOrStop();
    QCOMPARE(m_view->take(), (QStringList{"requested", "started 0"}));
    QCOMPARE(entries().size(), 1);
    QCOMPARE(entries().first()[10].toLatin1(), m_history->recordedCommitment());
}

void TestPublicRoll::expectedBoxFollowsDrawsAndVoids()
{
    ExpectedBox expected;
    QVERIFY(!expected.matches(DrawMode::ByQuantity, {}));
    expected.stated(DrawMode::ByQuantity, {1, 0, 2, 0, 0, 0, 0, 9});
    expected.drawn(3);
    QVERIFY(expected.matches(DrawMode::ByQuantity, {1, 0, 1, 0, 0, 0, 0, 9}));
    expected.voided(3, DrawMode::ByQuantity);
    QVERIFY(expected.matches(DrawMode::ByQuantity, {1, 0, 2, 0, 0, 0, 0, 9}));
    QVERIFY(!expected.matches(DrawMode::ByProbability, {1, 0, 2, 0, 0, 0, 0, 9}));
    expected.stated(DrawMode::ByProbability, {5, 5, 5, 5, 5, 5, 5, 5});
    expected.drawn(1);
    expected.voided(1, DrawMode::ByProbability);
    QVERIFY(expected.matches(DrawMode::ByProbability, {5, 5, 5, 5, 5, 5, 5, 5}));
    expected.forget();
    QVERIFY(!expected.matches(DrawMode::ByProbability, {5, 5, 5, 5, 5, 5, 5, 5}));
}

QTEST_GUILESS_MAIN(TestPublicRoll)
#include "test_publicroll.moc"
