// SettingsFile's write path: the lock, the read, the changes and the save,
// and the changes that wait while another program holds the file.
#include "settingsfile.h"

#include "durablefile.h"
#include "filelock.h"
#include "filesystem.h"
#include "inidocument.h"

#include <QFileInfo>
#include <optional>
#include <utility>

namespace {

using Outcome = FileSystem::Outcome;

// The lock file beside the file a write stores.
QString lockPath(const QString &target)
{
    return target + u".lock";
}

// Where a chain of symbolic links ends (a loop stops after 40 of them, as
// the system's own lookup does).
QString followLinks(const QString &path)
{
    QString current = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymbolicLink())
            return current;
        current = info.symLinkTarget();
    }
    return current;
}

int msUntil(qint64 deadline)
{
    return int(qBound(qint64(0), deadline - FileSystem::current().milliseconds(), qint64(1) << 30));
}

// The current bytes of a file that is about to be rewritten: empty when it
// does not exist, nullopt when it cannot be read (busy set when another
// program held it past the deadline), so that an unreadable file is never
// replaced by one holding a single key.
std::optional<QByteArray> readForRewrite(const QString &path, qint64 deadline, bool &existed,
                                         bool &busy)
{
    const FileSystem &files = FileSystem::current();
    QFile file;
    const Outcome opened
        = files.retry(deadline, [&] { return files.open(file, path, QIODevice::ReadOnly); });
    existed = opened != Outcome::Missing;
    busy = opened == Outcome::Busy;
    if (!existed)
        return QByteArray();
    if (opened != Outcome::Done)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

QString SettingsFile::storedPath(DataFile file) const
{
    return followLinks(path(file));
}

void SettingsFile::setWait(int ms)
{
    m_shared->waitMs = ms;
}

int SettingsFile::wait() const
{
    return m_shared->waitMs;
}

qint64 SettingsFile::deadlineFromNow(int ms) const
{
    return FileSystem::current().milliseconds() + ms;
}

int SettingsFile::pendingCount(DataFile file) const
{
    return int(waiting(file).size());
}

SettingsFile::Saved SettingsFile::commit(DataFile file, Change change) const
{
    waiting(file).append(std::move(change));
    QList<Change> dropped;
    const Saved saved = store(file, deadlineFromNow(wait()), dropped);
    // The caller hears of its own change from the result; those that waited
    // before it are told here.
    if (!dropped.isEmpty())
        dropped.removeLast();
    for (const Change &lost : std::as_const(dropped)) {
        if (lost.lost)
            lost.lost();
    }
    return saved;
}

SettingsFile::Saved SettingsFile::flush(DataFile file, int waitMs) const
{
    QList<Change> dropped;
    const Saved saved = store(file, deadlineFromNow(waitMs), dropped);
    for (const Change &lost : std::as_const(dropped)) {
        if (lost.lost)
            lost.lost();
    }
    return saved;
}

// Every change that waits is made on the file as it is now, in order, and
// saved in one replace: all of them are stored, or none.
SettingsFile::Saved SettingsFile::store(DataFile file, qint64 deadline, QList<Change> &dropped) const
{
    QList<Change> &changes = waiting(file);
    if (changes.isEmpty())
        return Saved::Stored;
    const QString target = storedPath(file);
    QStringList texts;
    Step step = Step::Busy;
    FileLock lock(lockPath(target));
    switch (lock.lock(msUntil(deadline))) {
    case FileLock::Result::Locked:
        step = storeLocked(target, deadline, false, changes, texts);
        break;
    case FileLock::Result::Busy:
        return Saved::Pending;
    case FileLock::Result::Failed: {
        // No lock file can be made or opened (a folder only an administrator
        // may write): the data file is its own lock, and must exist.
        FileLock own(target, FileLock::Kind::DataFile);
        const FileLock::Result held = own.lock(msUntil(deadline));
        if (held == FileLock::Result::Busy)
            return Saved::Pending;
        step = held == FileLock::Result::Locked ? storeLocked(target, deadline, true, changes, texts)
                                                : Step::Refused;
        break;
    }
    }
    if (step == Step::Busy)
        return Saved::Pending;
    QList<Change> done = std::exchange(changes, {});
    if (step == Step::Refused) {
        dropped = std::move(done);
        return Saved::Refused;
    }
    for (qsizetype i = 0; i < done.size(); ++i) {
        if (done[i].stored)
            done[i].stored(texts.value(i));
    }
    return Saved::Stored;
}

// Under the lock file: a copy that may not make the lock file (another
// user's, in a folder only this one may write) locks the data file instead,
// so that is taken too where the system can still replace a locked file.
SettingsFile::Step SettingsFile::storeLocked(const QString &target, qint64 deadline,
                                             bool needExisting, QList<Change> &changes,
                                             QStringList &texts) const
{
    const FileSystem &files = FileSystem::current();
    FileLock ownLock(target, FileLock::Kind::DataFile);
    if (!needExisting && files.canReplaceLockedFile() && QFileInfo::exists(target)
        && ownLock.lock(msUntil(deadline)) == FileLock::Result::Busy)
        return Step::Busy;
    durablefile::removeLeftovers(target);
    bool existed = false;
    bool busy = false;
    const std::optional<QByteArray> old = readForRewrite(target, deadline, existed, busy);
    if (!old)
        return busy ? Step::Busy : Step::Refused;
    if (needExisting && !existed)
        return Step::Refused;
    IniDocument document(*old);
    for (const Change &change : std::as_const(changes))
        texts.append(change.apply(document));
    const QByteArray bytes = document.toBytes();
    if (existed && bytes == *old)
        return Step::Done;
    switch (durablefile::replace(target, bytes, deadline)) {
    case durablefile::Replaced::Done:
        return Step::Done;
    case durablefile::Replaced::Busy:
        return Step::Busy;
    case durablefile::Replaced::NoTemporaryFile:
        return existed && durablefile::rewriteInPlace(target, bytes) ? Step::Done : Step::Refused;
    case durablefile::Replaced::Failed:
        break;
    }
    return Step::Refused;
}
