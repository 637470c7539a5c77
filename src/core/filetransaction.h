#pragma once

#include "filelock.h"

#include <QByteArray>
#include <QString>

// One write of a data file, as one step for every other running copy: the
// lock, the read of the file as it is now, and the save. The lock is held
// from begin() until the transaction ends, so whatever the caller does
// between them (or after save(), such as appending a win's history line)
// happens under it. Every write of config.a and jieguo.a is one of these.
//
// The lock protocol on disk is the one every version of the program
// shares: the lock file "<file>.lock" beside the file; where the system can
// replace a locked file, the data file too (a copy that may not make the
// lock file locks that instead); and in a folder where no lock file can be
// made, the data file alone, which must then exist.
class FileTransaction
{
public:
    enum class Step {
        Done,
        // Another copy or program held the lock or the file past the
        // deadline: nothing changed, and trying later may work.
        Busy,
        // The file or its folder refuses it; nothing changed.
        Refused,
    };

    // target is the file that is stored (never a symbolic link); deadline
    // is a time of FileSystem::current().
    FileTransaction(QString target, qint64 deadline);
    FileTransaction(const FileTransaction &) = delete;
    FileTransaction &operator=(const FileTransaction &) = delete;

    // Takes the lock and reads the file: Done with bytes() set (empty for a
    // file that does not exist yet). An unreadable file is Refused, never
    // replaced by one holding only the caller's change.
    Step begin();
    const QByteArray &bytes() const { return m_bytes; }

    // Puts bytes in the file's place in one step (in place, flushed, where
    // the folder refuses new files); an unchanged file is not touched.
    Step save(const QByteArray &bytes);

private:
    Step takeLock();
    Step read();

    QString m_target;
    qint64 m_deadline;
    FileLock m_lockFile;
    FileLock m_dataLock;
    bool m_lockedDown = false; // no lock file: the data file is the lock
    bool m_existed = false;
    QByteArray m_bytes;
};
