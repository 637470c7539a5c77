#pragma once

#include <QDateTime>
#include <QString>

// Starting a new history for the event: the file so far is kept under a
// name of its own, never deleted, so that rehearsal draws stay on record
// without opening the event's history.
namespace history {

struct Archived
{
    // Where the old history now is; empty when nothing was renamed.
    QString path;
    // Why it could not be renamed; empty when it was, or when there was no
    // history to rename.
    QString failure;
};

// The name the history at path gets for time: "中奖记录-<yyyyMMdd-HHmmss>.csv"
// beside it, or with "-2", "-3", … after the time when that name is taken.
// Renames path to it, never over an existing file, and syncs the folder.
Archived archive(const QString &path, const QDateTime &time);

} // namespace history
