#include "filesystem.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtGlobal>
#include <algorithm>
#include <atomic>

namespace {

std::atomic<const FileSystem *> g_installed{nullptr};

} // namespace

qint64 FileSystem::milliseconds() const
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}

void FileSystem::sleep(int ms) const
{
    QThread::msleep(ms);
}

FileSystem::Outcome FileSystem::retry(qint64 deadline, const std::function<Outcome()> &attempt) const
{
    // Short first pauses: most holds (a scanner's look, another copy's
    // read) last a few milliseconds.
    int pause = 2;
    for (;;) {
        const Outcome outcome = attempt();
        if (outcome != Outcome::Busy)
            return outcome;
        const qint64 left = deadline - milliseconds();
        if (left <= 0)
            return outcome;
        sleep(int(std::min<qint64>(pause, left)));
        pause = std::min(pause * 2, 50);
    }
}

void FileSystem::install(const FileSystem &files)
{
    g_installed.store(&files);
}

const FileSystem &FileSystem::current()
{
    const FileSystem *files = g_installed.load();
    if (!files)
        qFatal("No FileSystem installed: call FileSystem::install(systemFiles()) first");
    return *files;
}
