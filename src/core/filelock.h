#pragma once

#include "filesystem.h"

#include <QString>

// An exclusive lock between processes (and between threads), held through a
// lock file beside the data it guards, or through the data file itself where
// no lock file can be made (a run folder only an administrator may write).
//
// The operating system owns the lock, not the file's contents: when a
// holder dies, even by SIGKILL or a power cut, the lock goes with it and the
// next copy takes it at once. Nothing has to be judged stale, and no file a
// killed process left behind can block a write.
//
// It is not re-entrant: a second FileLock on a path this process holds
// waits like any other holder. Whatever has to run under a lock runs
// inside the one transaction that took it (see FileTransaction).
class FileLock
{
public:
    using Kind = FileSystem::LockKind;
    // Compare with Result::Locked; never test a Result as a truth value
    // (QVERIFY does that, and Locked is 0).
    enum class Result { Locked, Busy, Failed };

    explicit FileLock(QString path, Kind kind = Kind::LockFile);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Waits up to timeoutMs (on the installed FileSystem's clock) while
    // another holder has it, polling every few milliseconds: long back-off
    // sleeps would only add latency, and could miss every short gap between
    // two holds of a busy copy. A timeout of 0 makes one attempt. Busy when
    // the wait ran out; Failed at once when the file cannot be made or
    // opened at all (a read-only folder, say): waiting would not change that.
    [[nodiscard]] Result lock(int timeoutMs);
    void unlock();
    bool isLocked() const { return m_handle != kNoHandle; }
    const QString &path() const { return m_path; }

private:
    Result attempt();

    using Handle = FileSystem::LockHandle;
    static constexpr Handle kNoHandle = FileSystem::kNoLock;
    QString m_path;
    Kind m_kind;
    Handle m_handle = kNoHandle;
};
