// Start-up to the first painted frame, and a full repaint of the window.
// Start-up is measured in the whole process's CPU time (every thread's), so
// work moved to other threads still counts: the CPU column is the cost, the
// Time column the wait. A first start with new pictures decodes them all; a
// later one reads them back as decoded at their sizes.
#include "benchmedia.h"
#include "benchscreen.h"
#include "gui/support_fakesound.h"
#include "platform/sound.h"
#include "widgets/decodedcache.h"
#include "widgets/imagedecode.h"
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// Eight 12-megapixel prize photographs and a large background.
const QTemporaryDir &mediaFolder()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QDir().mkpath(dir.filePath(QStringLiteral("奖品图片")));
        for (int slot = 1; slot <= 8; ++slot)
            writeFile(dir.filePath(QStringLiteral("奖品图片/%1.jpg").arg(slot)),
                      makePhotoJpeg(4000, 3000, 93, quint32(slot)));
        writeFile(dir.filePath(QStringLiteral("底图.jpg")), makePhotoJpeg(5000, 4000, 97, 99));
        made = true;
    }
    return dir;
}

// Where decoded pictures are kept between runs, as the program keeps them
// in the user's cache folder.
enum class Kept { Nothing, FromAnEarlierRun };

void startToFirstFrame(benchmark::State &state, bool withMedia, Kept kept)
{
    QTemporaryDir empty;
    QTemporaryDir cache;
    decodedcache::setFolder(cache.path());
    const QString runDir = withMedia ? mediaFolder().path() : empty.path();
    if (kept == Kept::FromAnEarlierRun) {
        MainWindow earlier(runDir, std::make_unique<FakeSound>());
        earlier.show();
        benchmark::DoNotOptimize(earlier.grab().cacheKey());
    }
    for (auto _ : state) {
        imagedecode::clearCache(); // each start begins with nothing in memory
        if (kept == Kept::Nothing) {
            state.PauseTiming();
            QDir(cache.path()).removeRecursively();
            state.ResumeTiming();
        }
        MainWindow window(runDir, std::make_unique<FakeSound>());
        window.show();
        const QPixmap frame = window.grab();
        benchmark::DoNotOptimize(frame.cacheKey());
    }
    if (withMedia) {
        qint64 bytes = 0;
        for (int slot = 1; slot <= 8; ++slot)
            bytes += QFileInfo(mediaFolder().filePath(QStringLiteral("奖品图片/%1.jpg").arg(slot))).size();
        state.counters["prize_MB_each"] = double(bytes) / 8 / 1e6;
        state.counters["background_MB"] = QFileInfo(mediaFolder().filePath(QStringLiteral("底图.jpg"))).size() / 1e6;
    }
}

void BM_StartupNoMedia(benchmark::State &state) { startToFirstFrame(state, false, Kept::Nothing); }
// The first start with these pictures: every one is decoded.
void BM_StartupWithMediaFirstTime(benchmark::State &state) { startToFirstFrame(state, true, Kept::Nothing); }
// Every later start: the pictures decoded at their sizes read back from disk.
void BM_StartupWithMedia(benchmark::State &state) { startToFirstFrame(state, true, Kept::FromAnEarlierRun); }

void BM_RepaintCached(benchmark::State &state)
{
    MainWindow window(mediaFolder().path(), std::make_unique<FakeSound>());
    window.show();
    QImage target(window.size(), QImage::Format_ARGB32_Premultiplied);
    window.render(&target); // warm: the scaled background is made once
    for (auto _ : state) {
        window.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["width"] = window.width();
    state.counters["height"] = window.height();
}

// Baseline: what a paint costs when the background is scaled at each paint.
void BM_RepaintUncachedBaseline(benchmark::State &state)
{
    QFile file(mediaFolder().filePath(QStringLiteral("底图.jpg")));
    file.open(QIODevice::ReadOnly);
    const QImage picture = QImage::fromData(file.readAll());
    QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        p.drawImage(target.rect(), picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        benchmark::DoNotOptimize(target.constBits());
    }
}

} // namespace

BENCHMARK(BM_StartupNoMedia)->Unit(benchmark::kMillisecond)->Iterations(10)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_StartupWithMediaFirstTime)->Unit(benchmark::kMillisecond)->Iterations(10)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_StartupWithMedia)->Unit(benchmark::kMillisecond)->Iterations(10)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_RepaintCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintUncachedBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    const ProjectorScreen screen;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
