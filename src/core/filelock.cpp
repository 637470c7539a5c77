#include "filelock.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>
#include <utility>

namespace {

// The lock paths this thread holds.
thread_local QStringList t_held;

} // namespace

FileLock::FileLock(QString path)
    : m_path(std::move(path))
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

bool FileLock::noteHeld()
{
    t_held.append(m_path);
    return true;
}

bool FileLock::tryLock()
{
    return joinHeld() || (attempt() == Attempt::Locked && noteHeld());
}

bool FileLock::lock(int timeoutMs)
{
    if (joinHeld())
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    // A copy that counts win after win frees the lock only for microseconds
    // between two holds; a waiter that looked every 20 ms could miss every
    // such gap for the whole wait, so it looks every 2 ms at most.
    int pause = 1;
    for (Attempt result = attempt(); result != Attempt::Locked; result = attempt()) {
        if (result == Attempt::Failed || deadline.hasExpired())
            return false;
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
