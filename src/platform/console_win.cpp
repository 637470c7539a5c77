#include "console.h"

#include <windows.h>

namespace console {

// A console takes UTF-16 with WriteConsoleW; a redirected handle takes
// bytes, UTF-8 here, with CRLF as Windows programs end their lines.
bool write(Stream stream, const QString &text)
{
    const HANDLE handle = GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    QString crlf = text;
    crlf.replace(u"\n"_qs, u"\r\n"_qs);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        return WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(crlf.utf16()), DWORD(crlf.size()),
                             &written, nullptr)
            && written == DWORD(crlf.size());
    }
    const QByteArray bytes = crlf.toUtf8();
    DWORD written = 0;
    return WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr)
        && written == DWORD(bytes.size());
}

} // namespace console
