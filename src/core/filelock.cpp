#include "filelock.h"

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
    const FileSystem &files = FileSystem::current();
    const qint64 deadline = files.milliseconds() + timeoutMs;
    // A copy that counts win after win frees the lock only briefly between
    // two holds; a waiter that looked every 20 ms could miss every such gap
    // for the whole wait, so it looks every 2 ms at most.
    int pause = 1;
    for (Result result = attempt(); result != Result::Locked; result = attempt()) {
        if (result == Result::Failed || files.milliseconds() >= deadline)
            return result;
        files.sleep(pause);
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
    FileSystem::current().unlock(m_path, m_kind, m_handle);
    m_handle = kNoHandle;
}

// The operating system's part is the installed FileSystem's.
FileLock::Result FileLock::attempt()
{
    if (isLocked())
        return Result::Locked;
    switch (FileSystem::current().lock(m_path, m_kind, m_handle)) {
    case FileSystem::Outcome::Done:
        return Result::Locked;
    case FileSystem::Outcome::Busy:
        return Result::Busy;
    case FileSystem::Outcome::Missing:
    case FileSystem::Outcome::Refused:
        break;
    }
    m_handle = kNoHandle;
    return Result::Failed;
}
