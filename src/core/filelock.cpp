#include "filelock.h"

#include <QDeadlineTimer>
#include <QThread>
#include <utility>

namespace {

// The lock paths this thread holds.
thread_local QStringList t_held;

} // namespace

FileLock::FileLock(QString path, Kind kind)
    : m_path(std::move(path))
    , m_kind(kind)
{
}

FileLock::~FileLock()
{
    unlock();
}

bool FileLock::joinHeld()
{
    if (isLocked())
        return true;
    m_shared = t_held.contains(m_path);
    return m_shared;
}

FileLock::Result FileLock::noteHeld()
{
    t_held.append(m_path);
    return Result::Locked;
}

bool FileLock::tryLock()
{
    return joinHeld() || (attempt() == Result::Locked && noteHeld() == Result::Locked);
}

FileLock::Result FileLock::lock(int timeoutMs)
{
    if (joinHeld())
        return Result::Locked;
    const QDeadlineTimer deadline(timeoutMs);
    // A copy that counts win after win frees the lock only briefly between
    // two holds; a waiter that looked every 20 ms could miss every such gap
    // for the whole wait, so it looks every 2 ms at most.
    int pause = 1;
    for (Result result = attempt(); result != Result::Locked; result = attempt()) {
        if (result == Result::Failed || deadline.hasExpired())
            return result;
        QThread::msleep(pause);
        pause = 2;
    }
    return noteHeld();
}

void FileLock::unlock()
{
    if (m_shared) {
        m_shared = false;
        return;
    }
    if (m_handle == kNoHandle)
        return;
    t_held.removeOne(m_path);
    release();
}
