#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writing a data file so that a process killed at any moment leaves either
// the old file or the new one, never a torn one.
namespace durablefile {

// What names a temporary file of ours after the data file's name:
// "config.a.lunora-tmp-Xq3b9Z". No other program makes such names, so a
// leftover one can always be removed.
inline constexpr QStringView kTemporaryMarker = u".lunora-tmp-";

enum class Replaced {
    Done,
    // The folder refuses new files; nothing was touched.
    NoTemporaryFile,
    // Another program held path until deadline; nothing was changed.
    Busy,
    // Nothing was changed and the temporary file is gone again.
    Failed,
};

// Writes bytes to a new temporary file beside path, flushes it to disk and
// puts it in path's place, which keeps its permissions; while another
// program holds path that is tried again until deadline (a time of
// FileSystem::current()). An existing path this user may not write is
// refused at once, not replaced. path must not be a symbolic link: the
// caller passes the file a link leads to.
Replaced replace(const QString &path, const QByteArray &bytes, qint64 deadline);

// Rewrites an existing file in place and flushes it to disk: for a folder
// that refuses new files but lets its files be written. A kill in the
// middle can tear the file, so replace() comes first whenever it can work;
// the caller holds the lock.
bool rewriteInPlace(const QString &path, const QByteArray &bytes);

// Removes the temporary files a killed writer left beside path. Only the
// holder of path's lock may call it: nobody else is writing one then.
void removeLeftovers(const QString &path);

} // namespace durablefile
