#include "durablefile.h"

#include <unistd.h>

bool durablefile::syncToDisk(QFile &file)
{
    const int fd = file.handle();
    return fd >= 0 && ::fsync(fd) == 0;
}
