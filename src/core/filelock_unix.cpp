#include "filelock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read and write where allowed (locks over NFS need it); read-only is
// enough for flock, and is all a file of another user may grant.
int openForLock(const QByteArray &name, FileLock::Kind kind)
{
    const int create = kind == FileLock::Kind::LockFile ? O_CREAT : 0;
    int fd = ::open(name.constData(), O_RDWR | create | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    return fd;
}

} // namespace

// flock() belongs to the open file and is released by the kernel when its
// last descriptor closes, so a killed holder never leaves a lock behind.
//
// A lock file's holder removes it when it lets go, so that the folder is
// left clean; a data file is replaced by rename. Either way a rival may have
// opened the file just before and then lock the one that no longer has the
// name; it sees that the name no longer leads to what it locked, and starts
// over on the file the name leads to now.
FileLock::Result FileLock::attempt()
{
    if (isLocked())
        return Result::Locked;
    const QByteArray name = QFile::encodeName(m_path);
    for (int round = 0; round < 8; ++round) {
        const int fd = openForLock(name, m_kind);
        if (fd < 0)
            return Result::Failed;
        int locked = 0;
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? Result::Busy : Result::Failed;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0
            && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_handle = fd;
            return Result::Locked;
        }
        ::close(fd);
    }
    return Result::Busy;
}

void FileLock::release()
{
    // Removed while still held: nobody can take the lock on this file and
    // believe it current once the name is gone. A lock file of another user
    // in a folder with the sticky bit stays; the next holder opens it again.
    if (m_kind == Kind::LockFile)
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_handle);
    m_handle = kNoHandle;
}
