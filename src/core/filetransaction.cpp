#include "filetransaction.h"

#include "durablefile.h"
#include "filesystem.h"

#include <QFileInfo>
#include <utility>

namespace {

using Outcome = FileSystem::Outcome;
using Result = FileLock::Result;

int msUntil(qint64 deadline)
{
    return int(qBound(qint64(0), deadline - FileSystem::current().milliseconds(), qint64(1) << 30));
}

} // namespace

FileTransaction::FileTransaction(QString target, qint64 deadline)
    : m_target(std::move(target))
    , m_deadline(deadline)
    , m_lockFile(m_target + u".lock")
    , m_dataLock(m_target, FileLock::Kind::DataFile)
{
}

FileTransaction::Step FileTransaction::begin()
{
    const Step locked = takeLock();
    if (locked != Step::Done)
        return locked;
    return read();
}

// Under the lock file, a copy that may not make the lock file (another
// user's, in a folder only this one may write) locks the data file instead,
// so that is taken too where the system can still replace a locked file.
// No lock file can be made or opened at all (a folder only an administrator
// may write): the data file is its own lock, and must exist.
FileTransaction::Step FileTransaction::takeLock()
{
    switch (m_lockFile.lock(msUntil(m_deadline))) {
    case Result::Locked:
        if (FileSystem::current().canReplaceLockedFile() && QFileInfo::exists(m_target)
            && m_dataLock.lock(msUntil(m_deadline)) == Result::Busy)
            return Step::Busy;
        return Step::Done;
    case Result::Busy:
        return Step::Busy;
    case Result::Failed:
        break;
    }
    m_lockedDown = true;
    switch (m_dataLock.lock(msUntil(m_deadline))) {
    case Result::Locked:
        return Step::Done;
    case Result::Busy:
        return Step::Busy;
    case Result::Failed:
        break;
    }
    return Step::Refused;
}

// The file as it is now: empty when it does not exist. Temporary files a
// killed writer left are removed first; only the lock's holder may do that.
FileTransaction::Step FileTransaction::read()
{
    durablefile::removeLeftovers(m_target);
    const FileSystem &files = FileSystem::current();
    QFile file;
    const Outcome opened
        = files.retry(m_deadline, [&] { return files.open(file, m_target, QIODevice::ReadOnly); });
    m_existed = opened != Outcome::Missing;
    if (!m_existed)
        return m_lockedDown ? Step::Refused : Step::Done;
    if (opened != Outcome::Done)
        return opened == Outcome::Busy ? Step::Busy : Step::Refused;
    m_bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? Step::Done : Step::Refused;
}

FileTransaction::Step FileTransaction::save(const QByteArray &bytes)
{
    if (m_existed && bytes == m_bytes)
        return Step::Done;
    switch (durablefile::replace(m_target, bytes, m_deadline)) {
    case durablefile::Replaced::Done:
        break;
    case durablefile::Replaced::Busy:
        return Step::Busy;
    case durablefile::Replaced::NoTemporaryFile:
        if (!m_existed || !durablefile::rewriteInPlace(m_target, bytes))
            return Step::Refused;
        break;
    case durablefile::Replaced::Failed:
        return Step::Refused;
    }
    m_existed = true;
    m_bytes = bytes;
    return Step::Done;
}
