// One roll tick on the real main window: the slot the highlight leaves is
// reloaded from its file, the next slot is emptied and its prize shown in the
// result box. Large photographs must not make a fast roll stutter, so each
// tick is timed on its own and p50/p99 are reported. The baseline does the
// same picture work the naive way: read and fully decode at every tick.
#include "gui/support_mainwindow.h"
#include "benchmedia.h"
#include "benchscreen.h"
#include "gui/support_fakesound.h"
#include "core/keys.h"
#include "core/roll.h"
#include "core/settingsfile.h"
#include "core/values.h"
#include "platform/gbkcodec.h"
#include "platform/sound.h"
#include "widgets/controls.h"
#include "widgets/imagedecode.h"
#include "mainwindow/mainwindow.h"
#include "widgets/picturebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

enum class Media { Large, Small };

QString pictureFile(const QString &runDir, int slot)
{
    return runDir + QStringLiteral("/奖品图片/%1.jpg").arg(slot);
}

// Eight 12-megapixel photographs of about 2 MB, or eight of about 40 KB.
const QTemporaryDir &runFolder(Media media)
{
    static QTemporaryDir large;
    static QTemporaryDir small;
    static bool made[2] = {false, false};
    const int index = media == Media::Large ? 0 : 1;
    QTemporaryDir &dir = media == Media::Large ? large : small;
    if (!made[index]) {
        if (!SettingsFile(dir.path(), gbkCodec()).writeSetting(keys::kDrawMode, values::kTrue))
            qFatal("cannot write the run folder's config.a");
        QDir().mkpath(dir.filePath(QStringLiteral("奖品图片")));
        for (int slot = 1; slot <= 8; ++slot) {
            QFile f(pictureFile(dir.path(), slot));
            f.open(QIODevice::WriteOnly);
            f.write(media == Media::Large ? makePhotoJpeg(4000, 3000, 90, quint32(slot))
                                          : makePhotoJpeg(600, 450, 82, quint32(slot)));
        }
        made[index] = true;
    }
    return dir;
}

double averageFileBytes(const QString &runDir)
{
    qint64 total = 0;
    for (int slot = 1; slot <= 8; ++slot)
        total += QFileInfo(pictureFile(runDir, slot)).size();
    return double(total) / 8;
}

// Per-iteration times in milliseconds; p50 and p99 go into the counters.
class TickTimes
{
public:
    template <typename F>
    void time(benchmark::State &state, F &&work)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        m_ms.push_back(took.count() * 1000.0);
    }

    void report(benchmark::State &state)
    {
        if (m_ms.empty())
            return;
        std::sort(m_ms.begin(), m_ms.end());
        state.counters["p50_ms"] = percentile(0.50);
        state.counters["p99_ms"] = percentile(0.99);
        state.counters["max_ms"] = m_ms.back();
    }

private:
    double percentile(double p) const
    {
        const auto at = size_t(p * double(m_ms.size() - 1) + 0.5);
        return m_ms[std::min(at, m_ms.size() - 1)];
    }

    std::vector<double> m_ms;
};

// The real tick, on a window shown on the projector-sized screen. Painting
// happens between ticks, as in a running roll, and is not counted.
void rollTick(benchmark::State &state, Media media)
{
    const QString runDir = runFolder(media).path();
    imagedecode::clearCache();
    MainWindow window(runDir, std::make_unique<FakeSound>());
    MainControls &c = parts(window).controls();
    c.effectsDisabledBox->setChecked(true);
    window.show();
    QCoreApplication::processEvents();
    parts(window).roll().startStopPress();
    c.rollTimer->setInterval(0); // the timer stays off: ticks come from here
    for (int i = 0; i < 16; ++i) // two laps: every picture decoded once at every size
        parts(window).roll().tick();
    QCoreApplication::processEvents();

    TickTimes times;
    for (auto _ : state) {
        times.time(state, [&] { parts(window).roll().tick(); });
        QCoreApplication::processEvents();
    }
    times.report(state);
    state.counters["file_KB"] = averageFileBytes(runDir) / 1000;
    state.counters["decodes"] = imagedecode::cacheMisses();
}

// The naive tick: the file of the slot left is read and decoded whole, then
// scaled to its box; the prize under the highlight is decoded whole again for
// the result box.
void naiveTick(benchmark::State &state, Media media)
{
    const QString runDir = runFolder(media).path();
    QSize slotSize;
    QSize resultSize;
    {
        MainWindow window(runDir, std::make_unique<FakeSound>()); // the boxes' real sizes
        slotSize = parts(window).controls().slots[0]->contentsRect().size();
        resultSize = parts(window).controls().resultPicture->contentsRect().size();
    }
    std::vector<QByteArray> held(8);
    for (int slot = 1; slot <= 8; ++slot) {
        QFile f(pictureFile(runDir, slot));
        f.open(QIODevice::ReadOnly);
        held[size_t(slot - 1)] = f.readAll();
    }
    TickTimes times;
    int position = 0;
    for (auto _ : state) {
        const int previous = position == 0 ? 8 : position;
        position = position % 8 + 1;
        times.time(state, [&] {
            QFile f(pictureFile(runDir, previous));
            f.open(QIODevice::ReadOnly);
            const QImage left = QImage::fromData(f.readAll()).scaled(slotSize);
            const QImage shown = QImage::fromData(held[size_t(position - 1)]).scaled(resultSize);
            benchmark::DoNotOptimize(left.constBits());
            benchmark::DoNotOptimize(shown.constBits());
        });
    }
    times.report(state);
    state.counters["file_KB"] = averageFileBytes(runDir) / 1000;
}

void BM_RollTick2MB(benchmark::State &state) { rollTick(state, Media::Large); }
void BM_RollTick40KB(benchmark::State &state) { rollTick(state, Media::Small); }
void BM_NaiveTick2MBBaseline(benchmark::State &state) { naiveTick(state, Media::Large); }
void BM_NaiveTick40KBBaseline(benchmark::State &state) { naiveTick(state, Media::Small); }

} // namespace

BENCHMARK(BM_RollTick2MB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_RollTick40KB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_NaiveTick2MBBaseline)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(24);
BENCHMARK(BM_NaiveTick40KBBaseline)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400);

int main(int argc, char **argv)
{
    const ProjectorScreen screen;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
