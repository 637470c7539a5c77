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

// No program can hold a name that does not exist: access denied while
// making such a file means the folder refuses this user (its permissions,
// read-only media), which no wait clears. A file being deleted also answers
// access denied, but its name still exists.
Outcome openFailure(const std::wstring &path, bool writes, DWORD error)
{
    if (error == ERROR_ACCESS_DENIED && writes && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES
        && GetLastError() == ERROR_FILE_NOT_FOUND)
        return Outcome::Refused;
    return outcomeOf(error);
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

// A handle of our own on the new file, kept across the rename: the rename
// by handle needs DELETE, and the flush after it GENERIC_WRITE. It shares
// deleting, so MoveFileExW may still rename the file it is open on.
HANDLE openForRename(const std::wstring &from)
{
    return CreateFileW(from.c_str(), GENERIC_WRITE | DELETE | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
}

// POSIX semantics: the name is replaced even while others have the old file
// open with FILE_SHARE_DELETE (our own readers do); they keep reading the old
// file. False with the error set when the system or the file system lacks it.
bool renameByHandle(HANDLE file, const std::wstring &to)
{
    const DWORD nameBytes = DWORD(to.size() * sizeof(WCHAR));
    std::vector<std::byte> buffer(offsetof(RenameInfoEx, fileName) + nameBytes + sizeof(WCHAR));
    auto *info = reinterpret_cast<RenameInfoEx *>(buffer.data());
    info->flags = kReplaceIfExists | kPosixSemantics;
    info->rootDirectory = nullptr;
    info->fileNameLength = nameBytes;
    memcpy(info->fileName, to.c_str(), nameBytes + sizeof(WCHAR));
    return SetFileInformationByHandle(file, kFileRenameInfoEx, info, DWORD(buffer.size())) != 0;
}

// A folder flushed where the file system lets a folder be opened for
// writing (NTFS does; FAT and many network shares refuse): the entries
// just made or renamed in it are then on the disk too.
void flushFolder(std::wstring folder)
{
    if (folder.ends_with(L':'))
        folder += L'\\'; // a drive's root, never the volume itself
    const HANDLE handle = CreateFileW(folder.c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    static_cast<void>(FlushFileBuffers(handle));
    CloseHandle(handle);
}

void flushFolderOf(const std::wstring &path)
{
    const std::wstring::size_type slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        flushFolder(path.substr(0, slash));
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
    // Where the file system allows it (see flushFolderOf); NTFS journals its
    // folders, so a created name is kept there in any case.
    bool syncFolder(const QString &folder) const override;
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
        return openFailure(name, writes, GetLastError());
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
//
// Neither rename is on the disk when it returns: the rename by handle
// writes nothing through, and MOVEFILE_WRITE_THROUGH only waits for a move
// done as a copy. So the renamed file is flushed through the handle that
// renamed it (on NTFS that commits its metadata, the new name with it),
// and then its folder where Windows allows. A flush that fails leaves the
// file replaced all the same: Done, as nothing better can be done.
Outcome WindowsFiles::replace(const QString &from, const QString &to) const
{
    const std::wstring source = longPath(from);
    const std::wstring target = longPath(to);
    if (refusedForGood(target, true))
        return Outcome::Refused;
    const HANDLE file = openForRename(source);
    if (file == INVALID_HANDLE_VALUE)
        return outcomeOf(GetLastError());
    bool renamed = renameByHandle(file, target);
    DWORD error = renamed ? ERROR_SUCCESS : GetLastError();
    if (!renamed && lacksRenameEx(error)) {
        renamed = MoveFileExW(source.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        error = renamed ? ERROR_SUCCESS : GetLastError();
    }
    if (renamed)
        static_cast<void>(FlushFileBuffers(file));
    CloseHandle(file);
    if (!renamed)
        return outcomeOf(error);
    flushFolderOf(target);
    return Outcome::Done;
}

bool WindowsFiles::syncFolder(const QString &folder) const
{
    flushFolder(longPath(folder));
    return true;
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
