#include "durablefile.h"

#include "filesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>

namespace durablefile {

namespace {

Q_LOGGING_CATEGORY(logSave, "lunora.save", QtInfoMsg)

QString randomSuffix()
{
    static constexpr char kLetters[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix(6, u'x');
    for (QChar &c : suffix)
        c = QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return suffix;
}

// A new file of ours beside path, made with O_EXCL so that it is never one
// somebody else is writing.
bool openTemporary(const QString &path, QFile &temp)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp.setFileName(path + kTemporaryMarker + randomSuffix());
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!QFileInfo::exists(temp.fileName()))
            return false;
    }
    return false;
}

bool writeAll(QFile &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush()
        && FileSystem::current().syncFile(file);
}

} // namespace

Replaced replace(const QString &path, const QByteArray &bytes, qint64 deadline)
{
    const QFileInfo target(path);
    const bool existed = target.exists();
    if (existed && !target.isWritable())
        return Replaced::Failed;
    QFile temp;
    if (!openTemporary(path, temp))
        return Replaced::NoTemporaryFile;
    // The new file takes the old one's permissions; where that is refused
    // it keeps the default a new file gets, which still reads and writes.
    if (existed)
        static_cast<void>(temp.setPermissions(target.permissions()));
    const bool written = writeAll(temp, bytes);
    temp.close();
    FileSystem::Outcome moved = FileSystem::Outcome::Refused;
    if (written) {
        const FileSystem &files = FileSystem::current();
        moved = files.retry(deadline, [&] { return files.replace(temp.fileName(), path); });
    }
    if (moved == FileSystem::Outcome::Done)
        return Replaced::Done;
    // A temporary file that cannot be removed now is removed by a later
    // write (removeLeftovers); the failure reported is the write's.
    static_cast<void>(temp.remove());
    return moved == FileSystem::Outcome::Busy ? Replaced::Busy : Replaced::Failed;
}

bool rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    // Written first and cut after: a kill in between leaves the new text
    // followed by a piece of the old one, rather than a cut-off file.
    return file.write(bytes) == bytes.size() && file.resize(bytes.size()) && file.flush()
        && FileSystem::current().syncFile(file);
}

void removeLeftovers(const QString &path)
{
    const QFileInfo target(path);
    const QString prefix = target.fileName() + kTemporaryMarker;
    // Names compared by hand: a wildcard filter costs more than the scan.
    QDirIterator it(target.absolutePath(), QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        // One that cannot be removed now (a read-only folder) waits for a
        // later write that can; it never stands in anybody's way.
        if (it.fileName().startsWith(prefix) && QFile::remove(it.filePath()))
            qCInfo(logSave, "removed %ls, left by a write that was cut short", qUtf16Printable(it.fileName()));
    }
}

} // namespace durablefile
