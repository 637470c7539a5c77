#include "systemfiles.h"

#include <QDir>
#include <QFileInfo>

#include <cstddef>
#include <fcntl.h>
#include <io.h>
#include <vector>
#include <windows.h>

namespace {

using Outcome = FileSystem::Outcome;

// The raw calls take "\\?\" paths, so a run folder deeper than MAX_PATH
// works whether or not the machine enables long paths.
std::wstring longPath(const QString &path)
{
    QString native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.startsWith(u"\\\\?\\"))
        return native.toStdWString();
    if (native.startsWith(u"\\\\"))
        native = QStringLiteral("\\\\?\\UNC\\") + native.mid(2);
    else
        native.prepend(u"\\\\?\\");
    return native.toStdWString();
}

// A virus scanner, the indexer, a cloud backup or another program's open
// handle makes these for a moment; every other error stays.
Outcome outcomeOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Outcome::Missing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Outcome::Busy;
    default:
        return Outcome::Refused;
    }
}

// ERROR_ACCESS_DENIED also means a read-only file, or a folder at the
// file's name, which no wait clears: that is looked at first.
bool refusedForGood(const std::wstring &path, bool writes)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return true;
    return writes && (attributes & FILE_ATTRIBUTE_READONLY);
}

// FILE_RENAME_INFO with its Flags member (Windows 10 1607), spelled out:
// older MinGW headers know only ReplaceIfExists.
struct RenameInfoEx
{
    DWORD flags;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
};
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kReplaceIfExists = 0x1;
constexpr DWORD kPosixSemantics = 0x2;

// POSIX semantics: the name is replaced even while others have the old file
// open with FILE_SHARE_DELETE (our own readers do); they keep reading the old
// file. False with the error set when the system or the file system lacks it.
bool renameByHandle(const std::wstring &from, const std::wstring &to)
{
    const HANDLE file = CreateFileW(from.c_str(), DELETE | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD nameBytes = DWORD(to.size() * sizeof(WCHAR));
    std::vector<std::byte> buffer(offsetof(RenameInfoEx, fileName) + nameBytes + sizeof(WCHAR));
    auto *info = reinterpret_cast<RenameInfoEx *>(buffer.data());
    info->flags = kReplaceIfExists | kPosixSemantics;
    info->rootDirectory = nullptr;
    info->fileNameLength = nameBytes;
    memcpy(info->fileName, to.c_str(), nameBytes + sizeof(WCHAR));
    const BOOL renamed
        = SetFileInformationByHandle(file, kFileRenameInfoEx, info, DWORD(buffer.size()));
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return renamed != 0;
}

bool lacksRenameEx(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED
        || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}

// Locks on Windows are mandatory: a locked byte of the data file could not
// be read by anyone else. The lock therefore sits far past any real data,
// where it only ever meets other locks.
void lockRange(OVERLAPPED &range, FileSystem::LockKind kind)
{
    range = {};
    if (kind == FileSystem::LockKind::DataFile)
        range.OffsetHigh = 0x7FFFFFFF;
}

class WindowsFiles final : public FileSystem
{
public:
    Outcome open(QFile &file, const QString &path, QIODevice::OpenMode mode) const override;
    Outcome replace(const QString &from, const QString &to) const override;
    bool syncFile(QFile &file) const override;
    // NTFS journals its folders: a created name survives a power cut as it is.
    bool syncFolder(const QString &) const override { return true; }
    bool canReplaceLockedFile() const override { return false; }
    Outcome lock(const QString &path, LockKind kind, LockHandle &handle) const override;
    void unlock(const QString &path, LockKind kind, LockHandle handle) const override;
};

// Qt's own handles share reading and writing but not deleting, and so block
// another copy's replace; ours share all three. The handle becomes a C
// runtime descriptor (binary) that QFile takes over.
Outcome WindowsFiles::open(QFile &file, const QString &path, QIODevice::OpenMode mode) const
{
    const std::wstring name = longPath(path);
    const bool writes = mode & QIODevice::WriteOnly;
    if (refusedForGood(name, writes))
        return Outcome::Refused;
    DWORD disposition = OPEN_EXISTING;
    if (mode & QIODevice::NewOnly)
        disposition = CREATE_NEW;
    else if (writes && !(mode & QIODevice::ExistingOnly))
        disposition = (mode & QIODevice::Truncate) ? CREATE_ALWAYS : OPEN_ALWAYS;
    const DWORD access = GENERIC_READ | (writes ? GENERIC_WRITE : 0);
    const HANDLE handle = CreateFileW(name.c_str(), access,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return outcomeOf(GetLastError());
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                   _O_BINARY | (writes ? 0 : _O_RDONLY));
    if (fd < 0) {
        CloseHandle(handle);
        return Outcome::Refused;
    }
    const QIODevice::OpenMode kept
        = mode & ~(QIODevice::NewOnly | QIODevice::ExistingOnly | QIODevice::Truncate);
    if (!file.open(fd, kept, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return Outcome::Refused;
    }
    return Outcome::Done;
}

// FileRenameInfoEx where Windows has it (10 1607 and later, on NTFS), else
// MoveFileExW. ReplaceFileW is not used: like MoveFileExW it fails while
// anyone has the old file open without FILE_SHARE_DELETE, it is several
// renames rather than one (a failure in between can leave the data under
// the backup name), and what it keeps of the old file (attributes, ACL)
// the temporary file already has.
Outcome WindowsFiles::replace(const QString &from, const QString &to) const
{
    const std::wstring source = longPath(from);
    const std::wstring target = longPath(to);
    if (refusedForGood(target, true))
        return Outcome::Refused;
    if (renameByHandle(source, target))
        return Outcome::Done;
    if (!lacksRenameEx(GetLastError()))
        return outcomeOf(GetLastError());
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Outcome::Done;
    return outcomeOf(GetLastError());
}

// FlushFileBuffers writes out everything cached for the file, whichever
// handle wrote it, so a handle of our own is enough.
bool WindowsFiles::syncFile(QFile &file) const
{
    if (!file.flush())
        return false;
    const HANDLE handle = CreateFileW(longPath(file.fileName()).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // A file we opened ourselves may carry no name; its descriptor does.
        const auto own = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
        return own != INVALID_HANDLE_VALUE && FlushFileBuffers(own) != 0;
    }
    const bool synced = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    return synced;
}

// LockFileEx belongs to the handle and Windows releases it when the process
// ends, however it ends. The lock file itself stays (hidden): removing it
// while others may hold it open would need more care than it is worth.
Outcome WindowsFiles::lock(const QString &path, LockKind kind, LockHandle &handle) const
{
    const bool lockFile = kind == LockKind::LockFile;
    const HANDLE file = CreateFileW(longPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        lockFile ? OPEN_ALWAYS : OPEN_EXISTING,
        lockFile ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? Outcome::Busy
                                                                                 : Outcome::Refused;
    }
    OVERLAPPED range;
    lockRange(range, kind);
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        const bool busy = GetLastError() == ERROR_LOCK_VIOLATION;
        CloseHandle(file);
        return busy ? Outcome::Busy : Outcome::Refused;
    }
    handle = reinterpret_cast<LockHandle>(file);
    return Outcome::Done;
}

void WindowsFiles::unlock(const QString &, LockKind kind, LockHandle handle) const
{
    OVERLAPPED range;
    lockRange(range, kind);
    const auto file = reinterpret_cast<HANDLE>(handle);
    UnlockFileEx(file, 0, 1, 0, &range);
    CloseHandle(file);
}

} // namespace

const FileSystem &systemFiles()
{
    static const WindowsFiles files;
    return files;
}
