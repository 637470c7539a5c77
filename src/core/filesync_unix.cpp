#include "filesync.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace filesync {

bool syncFile(QFile &file)
{
    int result = 0;
    do {
        result = ::fdatasync(file.handle());
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// On Linux a new name reaches the disk with its folder, not with the file.
bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace filesync
