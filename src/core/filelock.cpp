#include "filelock.h"

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
    return Result::Locked;
}

void FileLock::unlock()
{
    if (m_handle == kNoHandle)
        return;
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
