#include "filelock.h"

#include <windows.h>

namespace {

// Locks on Windows are mandatory: a locked byte of the data file could not
// be read by anyone else. The lock therefore sits far past any real data,
// where it only ever meets other locks.
void lockRange(OVERLAPPED &range, FileLock::Kind kind)
{
    range = {};
    if (kind == FileLock::Kind::DataFile)
        range.OffsetHigh = 0x7FFFFFFF;
}

} // namespace

// LockFileEx belongs to the handle and Windows releases it when the process
// ends, however it ends. The lock file itself stays (hidden): removing it
// while others may hold it open would need more care than it is worth.
FileLock::Result FileLock::attempt()
{
    if (isLocked())
        return Result::Locked;
    const bool lockFile = m_kind == Kind::LockFile;
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(m_path.utf16()),
        GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, lockFile ? OPEN_ALWAYS : OPEN_EXISTING,
        lockFile ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? Result::Busy : Result::Failed;
    OVERLAPPED range;
    lockRange(range, m_kind);
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        const bool busy = GetLastError() == ERROR_LOCK_VIOLATION;
        CloseHandle(file);
        return busy ? Result::Busy : Result::Failed;
    }
    m_handle = file;
    return Result::Locked;
}

void FileLock::release()
{
    OVERLAPPED range;
    lockRange(range, m_kind);
    UnlockFileEx(static_cast<HANDLE>(m_handle), 0, 1, 0, &range);
    CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = kNoHandle;
}
