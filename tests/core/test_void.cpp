// 作废上次中奖 in the core: which win it takes back, the count and the line
// it writes, the public draw's key never used again, and a failed write
// that changes nothing counted.
#include "support_busyfiles.h"
#include "support_settingsfolder.h"

#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/historyvoid.h"
#include "core/keys.h"
#include "core/prizetable.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/securerandom.h"

#include <QTest>

namespace {

const QDateTime kTime(QDate(2026, 12, 7), QTime(15, 3, 12));

class FixedRandom final : public SecureRandom
{
public:
    QByteArray bytes(int size) override { return QByteArray(size, '\x2a'); }
};

// The program's draw and history on a run folder, by quantity: slot k
// holds 3k tickets.
struct Run
{
    Run()
    {
        for (int slot = 1; slot <= 8; ++slot)
            ready = settings.writeSetting(keys::kPrizeValue[slot - 1], QString::number(slot * 3)) && ready;
        ready = Config(settings).setDrawMode(DrawMode::ByQuantity) && ready;
        draw.setWallClock([this] { return ms += 977; });
    }
    void goPublic()
    {
        history.setPublic(&keys, [this] {
            static_cast<void>(draw.refill(settings, history.counts()));
            return draw.box();
        });
        history.commit();
    }
    int land()
    {
        if (!draw.refill(settings, history.counts()))
            return 0;
        if (history.isPublic()) {
            const PublicRecord record = history.recordPublicStop({Config(settings).drawMode(), draw.box(), ms += 977});
            return record.taken ? record.slot : 0;
        }
        const int slot = draw.drawLanding();
        return history.recordWin(slot, draw.takeLandingMark()) == DrawHistory::Saved::Stored ? slot : 0;
    }
    QList<history::Line> lines() const { return history::lines(readWholeFile(history.path())); }
    QStringList lastCells() const { return *lines().constLast().cells; }
    int count(int slot) const { return WinCounts(settings).text(slot).toInt(); }

    SettingsFolder folder;
    SettingsFile &settings = folder.settings();
    DrawHistory history{settings, [] { return kTime; }};
    Draw draw;
    FixedRandom random;
    publicdraw::Keys keys{random};
    qint64 ms = 1765000000000;
    bool ready = true;
};

QByteArray chained(const QStringList &cells)
{
    return cells.join(u',').toUtf8() + ',' + QByteArray(64, 'a');
}

} // namespace

class TestVoid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void publicVoidsTakeWinsBackInTurn();
    void boxAfterAVoidFollowsTheRecord();
    void aFailedWriteChangesNothingCounted();
};

// Each void takes back the latest win not taken back yet, and records the
// draw's number and the box with its ticket back in: exactly the box the
// next draw is drawn from, with the next key.
void TestVoid::publicVoidsTakeWinsBackInTurn()
{
    Run run;
    QVERIFY(run.ready);
    run.goPublic();
    for (int i = 0; i < 3; ++i)
        QVERIFY(run.land() > 0);
    const QStringList third = run.lastCells();
    const int slot = third[1].toInt();
    const int before = run.count(slot);

    std::optional<history::Voidable> win = run.history.winToVoid(nullptr);
    QVERIFY(win);
    QCOMPARE(win->n, 3);
    QCOMPARE(run.history.voidWin(*win), QString());
    QCOMPARE(run.count(slot), before - 1);
    const QStringList line = run.lastCells();
    QCOMPARE(line.mid(0, 11), QStringList({kTime.toString(history::kTimeFormat), u"作废"_qs, third[2], u"按数量"_qs,
                                           QString::number(before - 1), {}, u"3"_qs, third[7], {}, {}, {}}));
    QCOMPARE(run.history.lastCheck(), line[11].toLatin1());
    const auto entry = history::entryOf(run.lines().constLast());
    QVERIFY(entry && entry->kind == historygrammar::Kind::Void && !entry->isClear() && entry->slot == 0);

    QVERIFY(run.land() > 0);
    QCOMPARE(run.lastCells()[6], u"4"_qs);
    QCOMPARE(run.lastCells()[7], line[7]);
    QCOMPARE(run.history.voidWin(*run.history.winToVoid(nullptr)), QString());
    QCOMPARE(run.history.winToVoid(nullptr)->n, 2);

    QVERIFY(run.history.resetAll());
    QString why;
    QVERIFY(!run.history.winToVoid(&why));
    QVERIFY(why.contains(u"没有可以作废的中奖"));
}

// A change of the box between a draw and its void (a 设置 line, or a
// commitment that carries the box) is where the void's box starts from.
void TestVoid::boxAfterAVoidFollowsTheRecord()
{
    const QString t = kTime.toString(history::kTimeFormat);
    const QByteArray bytes = history::headerBytes()
        + chained({t, "3", "9", "按数量", "1", "否", "5", "1 2 3 4 5 6 7 8", "1", "3", QString(64, u'b')}) + "\r\n"
        + chained({t, "2", "6", "按数量", "1", "否", "6", "1 2 2 4 5 6 7 8", "1", "2", QString(64, u'c')}) + "\r\n"
        + chained({t, "设置", "", "按数量", "", "", "", "0 0 9 0 0 0 0 0", "", "", ""}) + "\r\n"
        + chained({t, "作废", "6", "按数量", "0", "", "6", "0 1 9 0 0 0 0 0", "", "", ""}) + "\r\n";
    const std::optional<history::Voidable> win = history::lastVoidable(history::lines(bytes));
    QVERIFY(win);
    QCOMPARE(win->n, 5);
    QCOMPARE(win->boxAfterVoid, (publicdraw::Box{0, 1, 10, 0, 0, 0, 0, 0}));
}

// Nothing is voided while a line waits (the latest win may be in it), nor
// when jieguo.a refuses the lowered count: the line the void had appended
// under the lock is taken back.
void TestVoid::aFailedWriteChangesNothingCounted()
{
    Run run;
    QVERIFY(run.ready);
    BusyFiles files;
    QCOMPARE(run.history.recordWin(2), DrawHistory::Saved::Stored);
    files.holdFor(run.history.path(), 1000000000);
    QCOMPARE(run.history.recordWin(5), DrawHistory::Saved::Stored);
    QString why;
    QVERIFY(!run.history.winToVoid(&why));
    QVERIFY(why.contains(u"等待写入"));
    files.release();
    const std::optional<history::Voidable> win = run.history.winToVoid(&why);
    QVERIFY(win && win->win.slot == 5);

    const QByteArray historyBefore = readWholeFile(run.history.path());
    const QByteArray countsBefore = run.folder.bytes(DataFile::Results);
    const QString results = run.settings.storedPath(DataFile::Results);
    bool appended = false;
    files.onOpen = [&](const QString &path) {
        if (path == run.history.path() && !appended && (appended = true))
            files.refuse(results); // read already: its save is refused
    };
    QVERIFY(!run.history.voidWin(*win).isEmpty());
    QVERIFY(appended);
    QCOMPARE(readWholeFile(run.history.path()), historyBefore);
    QCOMPARE(run.folder.bytes(DataFile::Results), countsBefore);
}

QTEST_GUILESS_MAIN(TestVoid)
#include "test_void.moc"
