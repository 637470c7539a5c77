// A translucent fireworks window's frame on a projector (1920 x 1080) and on
// a 4K screen (3840 x 2160): one simulation step, then the frame painted into
// the window's premultiplied image, the image Windows is handed through
// UpdateLayeredWindowIndirect. The push itself (that call, and the
// compositor's copy) happens only on a real Windows desktop; it is not
// measured here: Wine never blends, so the program uses the masked surface
// there. What the push costs grows with the pixels sent, counted instead:
// pushed_fraction is the mean share of the screen sent per frame, pushes the
// mean number of flushes (one call each).
//
// The baseline is the window as it was: the whole window cleared, drawn
// through QPainter and sent every frame. The damaged frame repaints only
// where sparks were or are, drawing straight into the image, and sends a few
// rectangles around that.
// Each iteration is one frame of a 3.5 s show, two shows per benchmark; the
// counters give the 99th percentile and worst frame in milliseconds (wall
// clock and this thread's CPU time: the machine may be shared).
#include "display/fireworks.h"
#include "display/fireworksdamage.h"
#include "display/fireworkspainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFramesPerShow = 210; // 3.5 s at 60 frames per second

enum class Frame { WholeWindowBaseline, Damaged };

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

void reportPercentiles(benchmark::State &state, const std::string &prefix, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, size_t(q * double(ms.size())))]; };
    state.counters[prefix + "p50_ms"] = at(0.50);
    state.counters[prefix + "p99_ms"] = at(0.99);
    state.counters[prefix + "max_ms"] = ms.back();
}

// One frame into the window's image; returns the pixels sent to the screen.
qint64 paintFrame(Frame frame, const Fireworks &show, QImage &surface, FireworksPainter &painter, FireworksDamage &damage)
{
    if (frame == Frame::WholeWindowBaseline) {
        surface.fill(Qt::transparent);
        QPainter p(&surface);
        // Under a clip the painter draws through QPainter, as it always did.
        p.setClipRect(surface.rect());
        painter.paint(p, show);
        return qint64(surface.width()) * surface.height();
    }
    damage.advance(show);
    QPainter p(&surface);
    damage.paint(p, show, painter);
    return damage.pushedPixels();
}

void frames(benchmark::State &state, FireworksKind kind, QSize screen, Frame frame)
{
    QImage surface(screen, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::transparent);
    FireworksPainter painter;
    auto damage = std::make_unique<FireworksDamage>(screen);
    quint32 seed = 1;
    auto show = std::make_unique<Fireworks>(kind, screen, seed);
    std::vector<double> wallMs, cpuMs;
    double pushed = 0, pushes = 0;
    for (auto _ : state) {
        if (show->time() >= kFramesPerShow * Fireworks::kStep) {
            show = std::make_unique<Fireworks>(kind, screen, ++seed);
            damage = std::make_unique<FireworksDamage>(screen);
            surface.fill(Qt::transparent);
        }
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuSeconds();
        show->step();
        pushed += double(paintFrame(frame, *show, surface, painter, *damage));
        benchmark::DoNotOptimize(surface.constBits());
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent.count());
        wallMs.push_back(spent.count() * 1000.0);
        cpuMs.push_back((threadCpuSeconds() - cpuStart) * 1000.0);
        pushes += frame == Frame::Damaged ? double(damage->pushes().size()) : 1.0;
    }
    reportPercentiles(state, "", wallMs);
    reportPercentiles(state, "cpu_", cpuMs);
    const double screenPixels = double(screen.width()) * double(screen.height());
    state.counters["pushed_fraction"] = benchmark::Counter(pushed / screenPixels, benchmark::Counter::kAvgIterations);
    state.counters["pushes"] = benchmark::Counter(pushes, benchmark::Counter::kAvgIterations);
}

void registerAll()
{
    const struct { const char *name; FireworksKind kind; } kinds[] = {
        {"peony", FireworksKind::Peony}, {"golden_ring", FireworksKind::GoldenRing}, {"willow", FireworksKind::Willow}};
    const struct { const char *name; QSize size; } screens[] = {{"1920x1080", QSize(1920, 1080)}, {"3840x2160", QSize(3840, 2160)}};
    const struct { const char *name; Frame frame; } ways[] = {
        {"translucent_whole_window_baseline", Frame::WholeWindowBaseline}, {"translucent_damaged", Frame::Damaged}};
    for (const auto &s : screens) {
        for (const auto &k : kinds) {
            for (const auto &w : ways) {
                const FireworksKind kind = k.kind;
                const QSize size = s.size;
                const Frame frame = w.frame;
                const std::string name = std::string(w.name) + "/" + s.name + "/" + k.name;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &st) { frames(st, kind, size, frame); })
                    ->UseManualTime()->Iterations(2 * kFramesPerShow)->Unit(benchmark::kMillisecond);
            }
        }
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
