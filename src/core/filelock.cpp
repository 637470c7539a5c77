#include "filelock.h"

#include <QDeadlineTimer>
#include <QThread>
#include <utility>

FileLock::FileLock(QString path)
    : m_path(std::move(path))
{
}

FileLock::~FileLock()
{
    unlock();
}

bool FileLock::lock(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    int pause = 1;
    for (Attempt result = attempt(); result != Attempt::Locked; result = attempt()) {
        if (result == Attempt::Failed || deadline.hasExpired())
            return false;
        QThread::msleep(pause);
        pause = qMin(pause * 2, 20);
    }
    return true;
}
