#pragma once

#include <QString>

// An exclusive lock between processes (and between threads), held through a
// lock file beside the data it guards.
//
// The operating system owns the lock, not the file's contents: when a
// holder dies, even by SIGKILL or a power cut, the lock goes with it and the
// next copy takes it at once. Nothing has to be judged stale, and no file a
// killed process left behind can block a write.
class FileLock
{
public:
    explicit FileLock(QString path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Takes the lock if it is free; never waits.
    bool tryLock() { return attempt() == Attempt::Locked; }
    // Waits up to timeoutMs while another holder has it, polling briefly:
    // the sections it guards last microseconds, so long back-off sleeps
    // would only add latency. Gives up at once when the lock file cannot be
    // made at all (a read-only folder, say): waiting would not change that.
    bool lock(int timeoutMs);
    void unlock();
    bool isLocked() const { return m_handle != kNoHandle; }
    const QString &path() const { return m_path; }

private:
    enum class Attempt { Locked, Busy, Failed };
    Attempt attempt();

#ifdef Q_OS_WIN
    using Handle = void *;
    static constexpr Handle kNoHandle = nullptr;
#else
    using Handle = int;
    static constexpr Handle kNoHandle = -1;
#endif
    QString m_path;
    Handle m_handle = kNoHandle;
};
