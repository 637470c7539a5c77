#include "runfolderlock.h"

#include <QDir>

RunFolderLock::RunFolderLock(const QString &runDir)
    : m_lock(QDir(runDir).filePath(kFileName))
{
    // Never stale by age: the copy holding it may run for a whole evening.
    // A lock whose process has ended is stale at once.
    m_lock.setStaleLockTime(0);
    if (m_lock.tryLock(0)) {
        m_state = State::Held;
        return;
    }
    if (m_lock.error() != QLockFile::LockFailedError)
        return;
    // A lock left by a copy that ended, even when its process number went to
    // another process since (after a restart, perhaps to this very one):
    // the file can be removed only when no running process holds it.
    if (m_lock.removeStaleLockFile() && m_lock.tryLock(0)) {
        m_state = State::Held;
        return;
    }
    // Between the failed try and this read the holder may have ended; then
    // the lock file names nobody, and the start goes ahead as the only copy.
    qint64 pid = 0;
    if (m_lock.getLockInfo(&pid, nullptr, nullptr) && pid > 0) {
        m_state = State::HeldByAnother;
        m_holder = pid;
    }
}
