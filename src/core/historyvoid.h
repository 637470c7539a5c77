#pragma once

#include "historyfile.h"
#include "publicdraw.h"

#include <QByteArray>
#include <QList>
#include <optional>

// Which win a void takes back, as the history records it.
namespace history {

// The latest counted win since the last clearing that no 作废 line took
// back yet, and what its void records.
struct Voidable
{
    Entry win;
    QByteArray bytes; // the win's line as it stands in the file
    // A public draw's number, and the box the record expects after its
    // void: by quantity the ticket drawn goes back into its slot.
    std::optional<qint64> n;
    std::optional<publicdraw::Box> boxAfterVoid;
};

// Reads the lines in order: each 作废 takes back the latest win not taken
// back yet, a clearing forgets them all. nullopt when none is left.
std::optional<Voidable> lastVoidable(const QList<Line> &lines);

} // namespace history
