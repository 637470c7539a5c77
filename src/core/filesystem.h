#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QtGlobal>

#include <functional>

// What the operating system does with the data files, as the core needs it.
// The platform layer supplies the real one (one implementation per OS) and
// installs it at start-up; tests wrap it to make a file look held by another
// program, with a clock of their own.
//
// Each call makes one attempt. Whether and how long to try again is the
// caller's decision (see retry()), so that the user-interface thread is
// never held longer than its caller allows.
class FileSystem
{
public:
    enum class Outcome {
        Done,
        // The file (or a folder on its path) does not exist.
        Missing,
        // Another program holds the file: on Windows the sharing, lock and
        // access errors a virus scanner, an indexer, a backup or a
        // spreadsheet cause for a moment. Worth trying again.
        Busy,
        // Will not clear by waiting: a read-only file or folder, a folder at
        // the file's name, a full disk.
        Refused,
    };
    enum class LockKind {
        // A file of its own beside the data: made when needed, removed by
        // the holder that lets go of it (on Windows it stays, hidden).
        LockFile,
        // The data file itself: never made, never removed.
        DataFile,
    };
    using LockHandle = qintptr;
    static constexpr LockHandle kNoLock = -1;

    virtual ~FileSystem() = default;

    // Opens path into file with mode. Our own handles share reading,
    // writing and deleting, so another copy of the program can still
    // replace a file we are reading.
    virtual Outcome open(QFile &file, const QString &path, QIODevice::OpenMode mode) const = 0;
    // Puts the file from in the place of to in one step, replacing it.
    virtual Outcome replace(const QString &from, const QString &to) const = 0;
    // The file's data and size are on the disk when this returns true.
    virtual bool syncFile(QFile &file) const = 0;
    // A file just created in folder keeps its name after a power cut.
    virtual bool syncFolder(const QString &folder) const = 0;
    // Whether replace() works while the data file itself is locked (not on
    // Windows, where the lock file alone then serves).
    virtual bool canReplaceLockedFile() const = 0;

    // Takes an exclusive lock between processes on path if it is free, never
    // waiting: Done with handle set, Busy when another holder has it,
    // Refused when the file cannot be made or opened at all. The operating
    // system lets go of it when the process ends, however it ends.
    virtual Outcome lock(const QString &path, LockKind kind, LockHandle &handle) const = 0;
    virtual void unlock(const QString &path, LockKind kind, LockHandle handle) const = 0;

    // A monotonic millisecond clock and a pause on it, for retries.
    // The same on every system (Qt's monotonic clock); tests override them.
    virtual qint64 milliseconds() const;
    virtual void sleep(int ms) const;

    // Repeats attempt while it ends Busy, until deadline (a value of
    // milliseconds()), pausing a little longer each time up to 50 ms.
    Outcome retry(qint64 deadline, const std::function<Outcome()> &attempt) const;

    // The one the program uses; must be installed before the first file is
    // read or written.
    static void install(const FileSystem &files);
    static const FileSystem &current();
};
