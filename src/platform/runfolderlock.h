#pragma once

#include <QLockFile>
#include <QString>

// Makes one copy of the program the run folder's own: taken at start and
// held until exit, in a file beside the data. A lock left by a copy that
// was killed names a process that is gone, and the next start takes it over.
class RunFolderLock
{
public:
    enum class State {
        Held,          // this copy is the folder's
        HeldByAnother, // a running copy is: this one must hand over and end
        Unavailable,   // the folder cannot hold a lock (read-only): no check
    };

    explicit RunFolderLock(const QString &runDir);

    State state() const { return m_state; }
    // The process of the copy that holds the folder, when another one does.
    qint64 holder() const { return m_holder; }

    static inline const QString kFileName = QStringLiteral("lunora.lock");

private:
    QLockFile m_lock;
    State m_state = State::Unavailable;
    qint64 m_holder = 0;
};
