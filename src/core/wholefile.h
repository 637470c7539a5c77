#pragma once

#include <QByteArray>
#include <QString>

// The whole file (or built-in resource), or empty bytes when it is missing
// or cannot be read.
QByteArray readWholeFile(const QString &path);
