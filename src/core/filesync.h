#pragma once

#include <QFile>
#include <QString>

// Getting written bytes onto the disk, so that a power cut right after a
// write cannot take them back.
namespace filesync {

// The file's data and size are on the disk when this returns true.
bool syncFile(QFile &file);

// A file just created in folder keeps its name after a power cut.
bool syncFolder(const QString &folder);

} // namespace filesync
