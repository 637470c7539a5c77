// The draw at every start and stop request: rebuild the box from the prize
// values, then take one ticket. Measured with the cumulative box at the
// start-up defaults and at eight stocks of two billion, beside the obvious
// way of listing one entry per ticket (only feasible at the defaults).

#include "core/draw.h"
#include "core/drawpool.h"
#include "core/config.h"
#include "core/keys.h"
#include "core/lotteryrandom.h"
#include "core/prizetable.h"
#include "core/settingsfile.h"
#include "core/wincounts.h"
#include "platform/gbkcodec.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr qint32 kTwoBillion = 2000000000;

PrizeTable hugeTable()
{
    PrizeTable t;
    t.values.fill(kTwoBillion);
    return t;
}

// A run folder whose config.a says "by probability", as a real draw reads it.
struct RunFolder
{
    QTemporaryDir dir;
    std::unique_ptr<SettingsFile> settings;

    RunFolder()
    {
        settings = std::make_unique<SettingsFile>(dir.path(), gbkCodec());
        Config(*settings).setDrawMode(DrawMode::ByProbability);
    }
};

RunFolder &runFolder()
{
    static RunFolder folder;
    return folder;
}

// The naive box: one slot number per ticket, slot 1 first.
int drawFromList(const PrizeTable &table, LotteryRandom &random)
{
    std::vector<int> box;
    for (int slot = 1; slot <= 8; ++slot)
        for (qint32 n = 0; n < table[slot]; ++n)
            box.push_back(slot);
    random.reseed();
    const qint64 k = random.next(1, qint64(box.size()));
    return box[std::size_t(k - 1)];
}

void runCumulative(benchmark::State &state, const PrizeTable &start, bool withFile)
{
    RunFolder &folder = runFolder();
    // With the file: what a request does, through the program's owner of
    // the draw. Without: the box and the ticket alone.
    Draw draw;
    draw.setTable(start);
    DrawPool pool;
    LotteryRandom random;
    for (auto _ : state) {
        if (withFile) {
            benchmark::DoNotOptimize(draw.refill(*folder.settings, *folder.settings));
            benchmark::DoNotOptimize(draw.drawLanding());
        } else {
            pool.rebuild(start);
            benchmark::DoNotOptimize(drawSlot(pool, false, random));
        }
    }
    state.counters["box_bytes"] = double(sizeof(DrawPool));
}

void runList(benchmark::State &state, bool withFile)
{
    RunFolder &folder = runFolder();
    const PrizeTable table = PrizeTable::defaults();
    LotteryRandom random;
    for (auto _ : state) {
        if (withFile)
            benchmark::DoNotOptimize(Config(*folder.settings).drawMode());
        benchmark::DoNotOptimize(drawFromList(table, random));
    }
    state.counters["box_bytes"] = double(110 * sizeof(int));
}

void BM_BuildAndDraw_Defaults(benchmark::State &state)
{
    runCumulative(state, PrizeTable::defaults(), true);
}

void BM_BuildAndDraw_EightTwoBillion(benchmark::State &state)
{
    runCumulative(state, hugeTable(), true);
}

void BM_Baseline_ListBox_Defaults(benchmark::State &state)
{
    runList(state, true);
}

// The same without the read of "lx": the box work alone.
void BM_PoolOnly_Defaults(benchmark::State &state)
{
    runCumulative(state, PrizeTable::defaults(), false);
}

void BM_PoolOnly_EightTwoBillion(benchmark::State &state)
{
    runCumulative(state, hugeTable(), false);
}

void BM_Baseline_ListOnly_Defaults(benchmark::State &state)
{
    runList(state, false);
}

} // namespace

BENCHMARK(BM_BuildAndDraw_Defaults);
BENCHMARK(BM_BuildAndDraw_EightTwoBillion);
BENCHMARK(BM_Baseline_ListBox_Defaults);
BENCHMARK(BM_PoolOnly_Defaults);
BENCHMARK(BM_PoolOnly_EightTwoBillion);
BENCHMARK(BM_Baseline_ListOnly_Defaults);

BENCHMARK_MAIN();
