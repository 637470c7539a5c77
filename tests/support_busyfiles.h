#pragma once

#include "core/filesystem.h"
#include "platform/systemfiles.h"

#include <QFileInfo>
#include <QStringList>

#include <functional>
#include <optional>

// The system's files, except that chosen files look held by another
// program (as a virus scanner or a spreadsheet holds them on Windows):
// opening and replacing them is Busy until the clock reaches `until`, or
// Refused for good. The clock is the test's own unless realTime is set: a
// pause moves it on at once, so a wait of seconds takes no time.
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
    void holdUntil(const QString &path, qint64 until) { m_held = name(path); m_until = until; m_refused = false; }
    void holdFor(const QString &path, qint64 ms) { holdUntil(path, milliseconds() + ms); }
    void refuse(const QString &path) { m_held = name(path); m_refused = true; }
    void release() { m_held.clear(); }
    void advance(qint64 ms) { m_now += ms; }

    // How many attempts met the held file, and every lock path taken.
    int busyAnswers = 0;
    QStringList lockedPaths;
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
        if (!failSyncOf.isEmpty() && name(path) == name(failSyncOf))
            return false; // as a full disk or a pulled stick answers
        return m_previous->syncFile(file);
    }
    bool syncFolder(const QString &folder) const override { return m_previous->syncFolder(folder); }
    bool canReplaceLockedFile() const override { return m_previous->canReplaceLockedFile(); }
    Outcome lock(const QString &path, LockKind kind, LockHandle &handle) const override
    {
        const_cast<BusyFiles *>(this)->lockedPaths.append(path);
        return m_previous->lock(path, kind, handle);
    }
    void unlock(const QString &path, LockKind kind, LockHandle handle) const override
    {
        m_previous->unlock(path, kind, handle);
    }
    qint64 milliseconds() const override { return m_real ? m_previous->milliseconds() : m_now; }
    void sleep(int ms) const override
    {
        if (m_real)
            m_previous->sleep(ms);
        else
            const_cast<BusyFiles *>(this)->m_now += ms;
    }

private:
    static QString name(const QString &path) { return QFileInfo(path).absoluteFilePath(); }
    std::optional<Outcome> heldOutcome(const QString &path) const
    {
        if (m_held.isEmpty() || name(path) != m_held)
            return std::nullopt;
        if (m_refused)
            return Outcome::Refused;
        if (milliseconds() >= m_until)
            return std::nullopt;
        ++const_cast<BusyFiles *>(this)->busyAnswers;
        return Outcome::Busy;
    }

    const FileSystem *m_previous = nullptr;
    bool m_real = false;
    qint64 m_now = 1000000;
    QString m_held;
    QString m_lastOpened;
    qint64 m_until = 0;
    bool m_refused = false;
};
