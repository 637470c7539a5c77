#pragma once

#include <QString>
#include <Qt>

// Archive programs show the files of an archive opened without unpacking it
// by copying them to a temporary folder, which they delete later: Explorer's
// "Temp1_<name>.zip", 7-Zip's "7zO…", WinRAR's "Rar$EX…", all in the system's
// temporary folder. A program started from there would keep its draw
// results in a folder about to vanish.

// The system's temporary folder in its long form on Windows; nothing on
// systems where no archive program opens archives that way.
QString archiveUnpackFolder();

// Whether the run folder lies in the system's temporary folder.
bool runsFromArchive(const QString &runDir);

// Whether folder is parent or lies below it. Both are absolute; the kind
// of separator, a trailing one and "." or ".." parts do not matter, and
// letter case only as the system's file names mind it.
bool folderLiesWithin(const QString &folder, const QString &parent, Qt::CaseSensitivity caseSensitivity);
