#pragma once

#include "core/filesystem.h"
#include "platform/systemfiles.h"

#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

// The system's files, except that chosen files look held by another
// program (as a virus scanner or a spreadsheet holds them on Windows):
// opening and replacing them is Busy until the clock reaches `until`, or
// Refused for good. The clock is the test's own unless realTime is set: a
// pause moves it on at once, so a wait of seconds takes no time. The save
// worker's thread may use it while the test's thread changes the holds.
class BusyFiles final : public FileSystem
{
public:
    explicit BusyFiles(bool realTime = false)
        : m_real(realTime)
    {
        m_previous = &systemFiles();
        install(*this);
    }
    ~BusyFiles() override { install(*m_previous); }
    BusyFiles(const BusyFiles &) = delete;
    BusyFiles &operator=(const BusyFiles &) = delete;

    // path is held until the clock reaches until (ms of this clock).
    void holdUntil(const QString &path, qint64 until)
    {
        const std::lock_guard guard(m_mutex);
        m_held = name(path);
        m_until = until;
        m_refused = false;
    }
    void holdFor(const QString &path, qint64 ms) { holdUntil(path, milliseconds() + ms); }
    void refuse(const QString &path)
    {
        const std::lock_guard guard(m_mutex);
        m_held = name(path);
        m_refused = true;
    }
    void release()
    {
        const std::lock_guard guard(m_mutex);
        m_held.clear();
    }
    void advance(qint64 ms) { m_now += ms; }

    // How many attempts met the held file, and every lock path taken.
    std::atomic<int> busyAnswers = 0;
    QStringList lockedPaths;
    // On the thread the test watches (the window's): the pauses taken and
    // the attempts that met the held file. On any other thread an attempt
    // that meets it first takes slowTryMs, as a slow stick's might.
    QThread *watched = nullptr;
    std::atomic<int> watchedPauses = 0;
    std::atomic<int> watchedBusyAnswers = 0;
    std::atomic<int> watchedSyncs = 0;
    int slowTryMs = 0;
    // Called with the path at every open.
    std::function<void(const QString &)> onOpen;
    // A file whose sync to the disk fails, after its bytes were written.
    QString failSyncOf;

    Outcome open(QFile &file, const QString &path, QIODevice::OpenMode mode) const override
    {
        if (onOpen)
            onOpen(path);
        const_cast<BusyFiles *>(this)->m_lastOpened = path;
        if (const auto held = heldOutcome(path))
            return *held;
        return m_previous->open(file, path, mode);
    }
    Outcome replace(const QString &from, const QString &to) const override
    {
        if (const auto held = heldOutcome(to))
            return *held;
        return m_previous->replace(from, to);
    }
    bool syncFile(QFile &file) const override
    {
        // A file opened from its descriptor has no name: the last path opened.
        const QString path = file.fileName().isEmpty() ? m_lastOpened : file.fileName();
        if (watched && QThread::currentThread() == watched)
            ++const_cast<BusyFiles *>(this)->watchedSyncs;
        if (!failSyncOf.isEmpty() && name(path) == name(failSyncOf))
            return false; // as a full disk or a pulled stick answers
        return m_previous->syncFile(file);
    }
    bool syncFolder(const QString &folder) const override { return m_previous->syncFolder(folder); }
    bool canReplaceLockedFile() const override { return m_previous->canReplaceLockedFile(); }
    Outcome lock(const QString &path, LockKind kind, LockHandle &handle) const override
    {
        {
            const std::lock_guard guard(m_mutex);
            const_cast<BusyFiles *>(this)->lockedPaths.append(path);
        }
        return m_previous->lock(path, kind, handle);
    }
    void unlock(const QString &path, LockKind kind, LockHandle handle) const override
    {
        m_previous->unlock(path, kind, handle);
    }
    qint64 milliseconds() const override { return m_real ? m_previous->milliseconds() : m_now.load(); }
    void sleep(int ms) const override
    {
        if (watched && QThread::currentThread() == watched)
            ++const_cast<BusyFiles *>(this)->watchedPauses;
        if (m_real)
            m_previous->sleep(ms);
        else
            const_cast<BusyFiles *>(this)->m_now += ms;
    }

private:
    static QString name(const QString &path) { return QFileInfo(path).absoluteFilePath(); }
    std::optional<Outcome> heldOutcome(const QString &path) const
    {
        std::unique_lock guard(m_mutex);
        if (m_held.isEmpty() || name(path) != m_held)
            return std::nullopt;
        if (m_refused)
            return Outcome::Refused;
        if (milliseconds() >= m_until)
            return std::nullopt;
        guard.unlock();
        auto *self = const_cast<BusyFiles *>(this);
        ++self->busyAnswers;
        if (watched && QThread::currentThread() == watched)
            ++self->watchedBusyAnswers;
        else if (slowTryMs > 0)
            QThread::msleep(slowTryMs);
        return Outcome::Busy;
    }

    mutable std::mutex m_mutex;
    const FileSystem *m_previous = nullptr;
    bool m_real = false;
    std::atomic<qint64> m_now = 1000000;
    QString m_held;
    QString m_lastOpened;
    qint64 m_until = 0;
    bool m_refused = false;
};
