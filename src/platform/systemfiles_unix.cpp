#include "systemfiles.h"


#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Outcome = FileSystem::Outcome;

// EBUSY and ETXTBSY are the only refusals here that clear by themselves.
Outcome outcomeOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Outcome::Missing;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
        return Outcome::Busy;
    default:
        return Outcome::Refused;
    }
}

int openFlags(QIODevice::OpenMode mode)
{
    int flags = O_CLOEXEC;
    if ((mode & QIODevice::ReadWrite) == QIODevice::ReadWrite)
        flags |= O_RDWR;
    else if (mode & QIODevice::WriteOnly)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if ((mode & QIODevice::WriteOnly) && !(mode & QIODevice::ExistingOnly))
        flags |= O_CREAT;
    if (mode & QIODevice::NewOnly)
        flags |= O_CREAT | O_EXCL;
    if (mode & QIODevice::Truncate)
        flags |= O_TRUNC;
    return flags;
}

// Read and write where allowed (locks over NFS need it); read-only is
// enough for flock, and is all a file of another user may grant.
int openForLock(const QByteArray &name, FileSystem::LockKind kind)
{
    const int create = kind == FileSystem::LockKind::LockFile ? O_CREAT : 0;
    int fd = ::open(name.constData(), O_RDWR | create | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    return fd;
}

class UnixFiles final : public FileSystem
{
public:
    Outcome open(QFile &file, const QString &path, QIODevice::OpenMode mode) const override
    {
        int fd = -1;
        do {
            fd = ::open(QFile::encodeName(path).constData(), openFlags(mode), 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return outcomeOf(errno);
        const QIODevice::OpenMode kept
            = mode & ~(QIODevice::NewOnly | QIODevice::ExistingOnly | QIODevice::Truncate);
        if (!file.open(fd, kept, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return Outcome::Refused;
        }
        return Outcome::Done;
    }

    Outcome replace(const QString &from, const QString &to) const override
    {
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
            return Outcome::Done;
        return outcomeOf(errno);
    }

    bool syncFile(QFile &file) const override
    {
        int result = 0;
        do {
            result = ::fdatasync(file.handle());
        } while (result != 0 && errno == EINTR);
        return result == 0;
    }

    // On Linux a new name reaches the disk with its folder, not with the file.
    bool syncFolder(const QString &folder) const override
    {
        const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool synced = ::fsync(fd) == 0;
        ::close(fd);
        return synced;
    }

    bool canReplaceLockedFile() const override { return true; }
    Outcome lock(const QString &path, LockKind kind, LockHandle &handle) const override;
    void unlock(const QString &path, LockKind kind, LockHandle handle) const override;
};

// flock() belongs to the open file and is released by the kernel when its
// last descriptor closes, so a killed holder never leaves a lock behind.
//
// A lock file's holder removes it when it lets go, so that the folder is
// left clean; a data file is replaced by rename. Either way a rival may have
// opened the file just before and then lock the one that no longer has the
// name; it sees that the name no longer leads to what it locked, and starts
// over on the file the name leads to now.
Outcome UnixFiles::lock(const QString &path, LockKind kind, LockHandle &handle) const
{
    const QByteArray name = QFile::encodeName(path);
    for (int round = 0; round < 8; ++round) {
        const int fd = openForLock(name, kind);
        if (fd < 0)
            return Outcome::Refused;
        int locked = 0;
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? Outcome::Busy : Outcome::Refused;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0
            && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            handle = fd;
            return Outcome::Done;
        }
        ::close(fd);
    }
    return Outcome::Busy;
}

void UnixFiles::unlock(const QString &path, LockKind kind, LockHandle handle) const
{
    // Removed while still held: nobody can take the lock on this file and
    // believe it current once the name is gone. A lock file of another user
    // in a folder with the sticky bit stays; the next holder opens it again.
    if (kind == LockKind::LockFile)
        ::unlink(QFile::encodeName(path).constData());
    ::close(int(handle));
}

} // namespace

const FileSystem &systemFiles()
{
    static const UnixFiles files;
    return files;
}
