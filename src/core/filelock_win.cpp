#include "filelock.h"

#include <windows.h>

// LockFileEx belongs to the handle and Windows releases it when the process
// ends, however it ends. The lock file itself stays (hidden): removing it
// while others may hold it open would need more care than it is worth.
FileLock::Attempt FileLock::attempt()
{
    if (isLocked())
        return Attempt::Locked;
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(m_path.utf16()),
        GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? Attempt::Busy : Attempt::Failed;
    OVERLAPPED whole {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        const bool busy = GetLastError() == ERROR_LOCK_VIOLATION;
        CloseHandle(file);
        return busy ? Attempt::Busy : Attempt::Failed;
    }
    m_handle = file;
    return Attempt::Locked;
}

void FileLock::release()
{
    OVERLAPPED whole {};
    UnlockFileEx(static_cast<HANDLE>(m_handle), 0, 1, 0, &whole);
    CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = kNoHandle;
}
