#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

// On Windows a released lock file stays beside its data file, hidden: a
// copy waiting for the lock may hold it open, and removing a file that is
// open there could hand two copies the lock. Elsewhere the holder removes it.
inline constexpr bool kLockFilesStay =
#ifdef Q_OS_WIN
    true;
#else
    false;
#endif

// The files a folder holds beyond the lock files that are meant to stay.
inline QStringList filesLeftIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (kLockFilesStay)
        names.removeIf([](const QString &name) { return name.endsWith(u".lock"); });
    return names;
}
