#include "filelock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// flock() belongs to the open file and is released by the kernel when its
// last descriptor closes, so a killed holder never leaves a lock behind.
//
// The holder removes the file when it lets go, so that the folder is left
// clean. A rival may have opened the file just before that and then lock
// the removed file; it sees that the name no longer leads to what it
// locked, and starts over on the file the name leads to now.
FileLock::Attempt FileLock::attempt()
{
    if (isLocked())
        return Attempt::Locked;
    const QByteArray name = QFile::encodeName(m_path);
    for (int round = 0; round < 8; ++round) {
        // Read and write where allowed (locks over NFS need it); read-only
        // is enough for flock, and is all a lock file left by another user
        // may grant.
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EACCES)
            fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return Attempt::Failed;
        int locked = 0;
        do {
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? Attempt::Busy : Attempt::Failed;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0
            && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_handle = fd;
            return Attempt::Locked;
        }
        ::close(fd);
    }
    return Attempt::Busy;
}

void FileLock::release()
{
    // Removed while still held: nobody can take the lock on this file and
    // believe it current once the name is gone.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_handle);
    m_handle = kNoHandle;
}
