#pragma once

#include "core/historyfile.h"

#include <QByteArray>
#include <QList>

namespace history {

// The records of a history file's bytes, in order, as the program's one
// reader (lines() and entryOf()) sees them: the header, an unfinished last
// line, lines ended as torn and lines that are no record are left out.
inline QList<Entry> parse(const QByteArray &bytes)
{
    QList<Entry> entries;
    for (const Line &line : lines(bytes)) {
        if (const auto entry = entryOf(line))
            entries.append(*entry);
    }
    return entries;
}

} // namespace history
