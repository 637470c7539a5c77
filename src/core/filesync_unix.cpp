#include "durablefile.h"

#include <unistd.h>

// fdatasync where there is one: the data and the size it needs to be read
// back, without a second journal commit for the times of the file.
bool durablefile::syncToDisk(QFile &file)
{
    const int fd = file.handle();
#if defined(Q_OS_LINUX)
    return fd >= 0 && ::fdatasync(fd) == 0;
#else
    return fd >= 0 && ::fsync(fd) == 0;
#endif
}
