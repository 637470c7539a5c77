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
    // Nothing was changed and the temporary file is gone again.
    Failed,
};

// Writes bytes to a new temporary file beside path, flushes it to disk and
// renames it over path, which keeps its permissions. An existing path this
// user may not write is refused, not replaced.
Replaced replace(const QString &path, const QByteArray &bytes);

// Rewrites an existing file in place and flushes it to disk: for a folder
// that refuses new files but lets its files be written. A kill in the
// middle can tear the file, so replace() comes first whenever it can work;
// the caller holds the lock.
bool rewriteInPlace(const QString &path, const QByteArray &bytes);

// Removes the temporary files a killed writer left beside path. Only the
// holder of path's lock may call it: nobody else is writing one then.
void removeLeftovers(const QString &path);

} // namespace durablefile
