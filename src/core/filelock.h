#pragma once

#include <QString>

// An exclusive lock between processes (and between threads), held through a
// lock file beside the data it guards.
//
// The operating system owns the lock, not the file's contents: when a
// holder dies, even by SIGKILL or a power cut, the lock goes with it and the
// next copy takes it at once. Nothing has to be judged stale, and no file a
// killed process left behind can block a write.
//
// A thread that already holds the lock of a path gets it again at once: a
// second FileLock on that path shares the hold and lets go of nothing, so a
// caller can run several locked writes as one step. Such a nested hold must
// end before the first one does, as scoped locks do.
class FileLock
{
public:
    explicit FileLock(QString path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Takes the lock if it is free; never waits.
    bool tryLock();
    // Waits up to timeoutMs while another holder has it, polling every few
    // milliseconds: long back-off sleeps would only add latency, and could
    // miss every short gap between two holds of a busy copy. Gives up at once when the lock file cannot be
    // made at all (a read-only folder, say): waiting would not change that.
    bool lock(int timeoutMs);
    void unlock();
    bool isLocked() const { return m_handle != kNoHandle || m_shared; }
    const QString &path() const { return m_path; }

private:
    enum class Attempt { Locked, Busy, Failed };
    // The operating system's part: take the lock, and let it go.
    Attempt attempt();
    void release();
    // Shares the hold when this thread has the path locked already.
    bool joinHeld();
    bool noteHeld();

#ifdef Q_OS_WIN
    using Handle = void *;
    static constexpr Handle kNoHandle = nullptr;
#else
    using Handle = int;
    static constexpr Handle kNoHandle = -1;
#endif
    QString m_path;
    Handle m_handle = kNoHandle;
    bool m_shared = false;
};
