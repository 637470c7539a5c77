#include "durablefile.h"

#include <windows.h>

// FlushFileBuffers works on the file, whichever handle names it; a handle of
// our own avoids depending on how QFile keeps its own.
bool durablefile::syncToDisk(QFile &file)
{
    const QString path = file.fileName();
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()),
        GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    return flushed;
}
