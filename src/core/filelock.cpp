#include "filelock.h"

#include <QDeadlineTimer>
#include <QThread>
#include <utility>

FileLock::FileLock(QString path, Kind kind)
    : m_path(std::move(path))
    , m_kind(kind)
{
}

FileLock::~FileLock()
{
    unlock();
}

FileLock::Result FileLock::lock(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    int pause = 1;
    for (Result result = attempt(); result != Result::Locked; result = attempt()) {
        if (result == Result::Failed || deadline.hasExpired())
            return result;
        QThread::msleep(pause);
        pause = qMin(pause * 2, 20);
    }
    return Result::Locked;
}
