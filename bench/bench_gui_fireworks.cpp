// Frame time of the fireworks at 1920 x 1080, as the effects window spends
// it: one simulation step, then either a paint onto a transparent surface
// (translucent window) or, for a masked window, the solid frame with its
// shape and the copy of the drawn cells into the window's backing store.
// The baseline gets the same kind of frame the plain way: the whole screen
// cleared and drawn, its alpha turned into a bitmap and a region by Qt's
// stock conversions, the whole image converted to opaque colours.
// Each iteration is one frame of a 3.5 s show; the counters give the median,
// 99th percentile and worst frame in milliseconds.
#include "display/fireworks.h"
#include "display/fireworkspainter.h"
#include "display/maskedframe.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

namespace {

const QSize kScreen(1920, 1080);
constexpr int kFramesPerShow = 210; // 3.5 s at 60 frames per second

enum class Window { Translucent, Masked, MaskedWholeScreenBaseline };

// One frame of each kind of window; returns the rectangles of the shape.
struct FrameMaker
{
    QImage surface{kScreen, QImage::Format_ARGB32_Premultiplied};
    QImage store{kScreen, QImage::Format_RGB32}; // a masked window's backing store
    FireworksPainter painter;
    MaskedFrame masked{kScreen};

    int make(const Fireworks &show, Window window)
    {
        switch (window) {
        case Window::Translucent: {
            surface.fill(Qt::transparent);
            QPainter p(&surface);
            painter.paint(p, show);
            return 0;
        }
        case Window::Masked: {
            masked.render(show, painter);
            QPainter p(&store);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            for (const QRect &r : masked.touched())
                p.drawImage(r, masked.image(), r);
            return masked.shape().rectCount();
        }
        case Window::MaskedWholeScreenBaseline: {
            surface.fill(Qt::transparent);
            {
                QPainter p(&surface);
                painter.paint(p, show, FireworksPainter::Style::Solid);
            }
            const QRegion shape(QBitmap::fromImage(surface.createAlphaMask(Qt::ThresholdAlphaDither)));
            store = surface.convertToFormat(QImage::Format_RGB32);
            return shape.rectCount();
        }
        }
        return 0;
    }
};

// Time this thread spent on the CPU: on a machine shared with other work the
// wall clock also counts the waits for a core.
double threadCpuSeconds()
{
#ifdef CLOCK_THREAD_CPUTIME_ID
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
#else
    return double(std::clock()) / CLOCKS_PER_SEC;
#endif
}

void reportPercentiles(benchmark::State &state, const char *prefix, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, size_t(q * double(ms.size())))]; };
    const std::string p(prefix);
    state.counters[p + "p50_ms"] = at(0.50);
    state.counters[p + "p99_ms"] = at(0.99);
    state.counters[p + "max_ms"] = ms.back();
}

void frames(benchmark::State &state, FireworksKind kind, Window window, int stride)
{
    FrameMaker maker;
    quint32 seed = 1;
    auto show = std::make_unique<Fireworks>(kind, kScreen, seed);
    std::vector<double> wallMs, cpuMs;
    qint64 rects = 0;
    for (auto _ : state) {
        if (show->time() >= kFramesPerShow * Fireworks::kStep) {
            show = std::make_unique<Fireworks>(kind, kScreen, ++seed);
            maker.masked = MaskedFrame(kScreen);
        }
        // The baseline is slow: it looks at every stride-th frame only.
        for (int i = 1; i < stride; ++i)
            show->step();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuSeconds();
        show->step();
        rects += maker.make(*show, window);
        benchmark::DoNotOptimize(maker.store.constBits());
        benchmark::DoNotOptimize(maker.surface.constBits());
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent.count());
        wallMs.push_back(spent.count() * 1000.0);
        cpuMs.push_back((threadCpuSeconds() - cpuStart) * 1000.0);
    }
    reportPercentiles(state, "", wallMs);
    reportPercentiles(state, "cpu_", cpuMs);
    if (window != Window::Translucent)
        state.counters["shape_rects"] = benchmark::Counter(double(rects), benchmark::Counter::kAvgIterations);
}

void registerAll()
{
    const struct { const char *name; FireworksKind kind; } kinds[] = {
        {"peony", FireworksKind::Peony}, {"golden_ring", FireworksKind::GoldenRing}, {"willow", FireworksKind::Willow}};
    for (const auto &k : kinds) {
        const FireworksKind kind = k.kind;
        benchmark::RegisterBenchmark((std::string("frame_translucent/") + k.name).c_str(),
                                     [kind](benchmark::State &s) { frames(s, kind, Window::Translucent, 1); })
            ->UseManualTime()->Iterations(2 * kFramesPerShow)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("frame_masked/") + k.name).c_str(),
                                     [kind](benchmark::State &s) { frames(s, kind, Window::Masked, 1); })
            ->UseManualTime()->Iterations(2 * kFramesPerShow)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("frame_masked_whole_screen_baseline/") + k.name).c_str(),
                                     [kind](benchmark::State &s) { frames(s, kind, Window::MaskedWholeScreenBaseline, 5); })
            ->UseManualTime()->Iterations(2 * kFramesPerShow / 5)->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Painting into images needs the GUI side of Qt but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
