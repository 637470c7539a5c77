// What the draw history adds to a win: the count alone, the count with its
// history line, and the line's append beside a plain append that neither
// checks the last line nor waits for the disk.
//
// The figures depend on the disk: the append waits for its sync, as the
// count's own atomic replace already does.

#include "core/drawhistory.h"
#include "core/historyfile.h"
#include "core/publicdraw.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/settingsfile.h"
#include "platform/gbkcodec.h"
#include "core/securerandom.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QDateTime kTime(QDate(2026, 12, 7), QTime(15, 3, 12));

struct Fixture
{
    QTemporaryDir dir;
    SettingsFile settings{dir.path(), gbkCodec()};
    DrawHistory history{settings, [] { return kTime; }};
};

QByteArray sampleLine()
{
    return history::winLine(kTime, 3, QStringLiteral("10"), DrawMode::ByQuantity,
                            QStringLiteral("42"));
}

// A counted win with its line, as every landing does it.
void BM_CountWinWithHistory(benchmark::State &state)
{
    Fixture f;
    int slot = 0;
    for (auto _ : state) {
        if (f.history.recordWin(slot % 8 + 1) != DrawHistory::Saved::Stored)
            state.SkipWithError("count failed");
        ++slot;
    }
    if (!f.history.failureToReport().isEmpty())
        state.SkipWithError("history failed");
}
BENCHMARK(BM_CountWinWithHistory)->Unit(benchmark::kMillisecond);

// What a win cost before the history: the count alone.
void BM_CountWin_CountOnlyBaseline(benchmark::State &state)
{
    Fixture f;
    int slot = 0;
    for (auto _ : state) {
        if (WinCounts(f.settings).addWin(slot % 8 + 1) == SettingsFile::Saved::Refused)
            state.SkipWithError("count failed");
        ++slot;
    }
}
BENCHMARK(BM_CountWin_CountOnlyBaseline)->Unit(benchmark::kMillisecond);

// The line alone: open, look at the last line's end, one write, sync.
void BM_AppendLine(benchmark::State &state)
{
    Fixture f;
    const QByteArray line = sampleLine();
    for (auto _ : state) {
        if (!history::append(f.history.path(), line).isEmpty())
            state.SkipWithError("append failed");
    }
}
BENCHMARK(BM_AppendLine)->Unit(benchmark::kMicrosecond);

// The naive way: open for appending, write, close; no repair, no sync.
void BM_AppendLine_NaiveBaseline(benchmark::State &state)
{
    Fixture f;
    const QByteArray line = sampleLine();
    for (auto _ : state) {
        QFile file(f.history.path());
        if (!file.open(QIODevice::Append) || file.write(line) != line.size())
            state.SkipWithError("append failed");
    }
}
BENCHMARK(BM_AppendLine_NaiveBaseline)->Unit(benchmark::kMicrosecond);

class FixedRandom final : public SecureRandom
{
public:
    QByteArray bytes(int size) override { return QByteArray(size, '\x5a'); }
};

// A public mode's commitment: 10,000 SHA-256 steps down to K0 from the
// system's 32 bytes (one call, left out here), made at start-up and at each
// clearing.
void BM_PublicCommitment(benchmark::State &state)
{
    FixedRandom random;
    publicdraw::Keys keys(random);
    for (auto _ : state) {
        if (keys.commit().isEmpty())
            state.SkipWithError("no system randomness");
    }
}
BENCHMARK(BM_PublicCommitment)->Unit(benchmark::kMillisecond);

// A public stop request, as the window's thread handles it before the wheel
// moves on: the draw, the count saved under jieguo.a's lock and its line
// appended and synced (beside BM_CountWinWithHistory, the design's landing).
// A fresh commitment every 10,000 draws is left in, as the program makes it.
void BM_PublicStopRequest(benchmark::State &state)
{
    Fixture f;
    FixedRandom random;
    publicdraw::Keys keys(random);
    const publicdraw::Box box{10, 20, 30, 40, 50, 60, 70, 80};
    f.history.setPublic(&keys, [&box] { return box; });
    f.history.commit();
    qint64 moment = 1765000000000000;
    for (auto _ : state) {
        // By probability the box stays as committed: no 设置 line.
        if (!f.history.recordPublicStop({DrawMode::ByProbability, box, ++moment}).taken)
            state.SkipWithError("stop not taken");
    }
}
BENCHMARK(BM_PublicStopRequest)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
