#include "unpackfolder.h"

#include <QDir>

#include <windows.h>

namespace {

// GetTempPathW may give the short 8.3 form ("C:\Users\ADMINI~1\..."), and a
// program may be started by either form: both sides are compared long.
QString longForm(const QString &path)
{
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const DWORD size = GetLongPathNameW(native.c_str(), nullptr, 0);
    if (size == 0)
        return path;
    std::wstring out(size, L'\0');
    const DWORD length = GetLongPathNameW(native.c_str(), out.data(), size);
    if (length == 0 || length >= size)
        return path;
    out.resize(length);
    return QString::fromStdWString(out);
}

} // namespace

QString archiveUnpackFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return longForm(QString::fromWCharArray(buffer, int(length)));
}

bool runsFromArchive(const QString &runDir)
{
    return folderLiesWithin(longForm(runDir), archiveUnpackFolder(), Qt::CaseInsensitive);
}
