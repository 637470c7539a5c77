#include "historyvoid.h"

#include <QStringList>

namespace history {
namespace {

constexpr int kSerialColumn = 6;
constexpr int kBoxColumn = 7;

// Eight counts separated by single blanks, ASCII digits only.
std::optional<publicdraw::Box> boxOf(const QString &text)
{
    const QStringList counts = text.split(u' ');
    if (counts.size() != 8)
        return std::nullopt;
    publicdraw::Box box{};
    for (int i = 0; i < 8; ++i) {
        if (counts[i].isEmpty() || counts[i].size() > 18)
            return std::nullopt;
        for (const QChar c : counts[i]) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        box[i] = counts[i].toLongLong();
    }
    return box;
}

std::optional<qint64> serialOf(const QString &text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok && n > 0 ? std::optional(n) : std::nullopt;
}

// The box the record expects after a public draw: by quantity the drawn
// ticket left it.
std::optional<publicdraw::Box> boxAfterDraw(const Entry &win)
{
    std::optional<publicdraw::Box> box = boxOf(win.cells.value(kBoxColumn));
    if (box && win.mode == kByQuantity && (*box)[win.slot - 1] > 0)
        --(*box)[win.slot - 1];
    return box;
}

} // namespace

std::optional<Voidable> lastVoidable(const QList<Line> &lines)
{
    QList<Voidable> wins;
    // The box the record expects next; any line without a win that carries
    // a box (a commitment, a change of the box, a void) sets it.
    std::optional<publicdraw::Box> expected;
    for (const Line &line : lines) {
        const std::optional<Entry> entry = entryOf(line);
        if (!entry) {
            if (!line.torn && line.cells && line.cells->size() == kColumns)
                if (const auto box = boxOf(line.cells->at(kBoxColumn)))
                    expected = box;
            continue;
        }
        if (entry->slot > 0) {
            Voidable win{*entry, line.bytes, serialOf(entry->cells.value(kSerialColumn)), std::nullopt};
            if (win.n)
                expected = boxAfterDraw(*entry);
            wins.append(win);
        } else if (entry->isClear()) {
            wins.clear();
        } else {
            if (entry->kind == historygrammar::Kind::Void && !wins.isEmpty())
                wins.removeLast();
            if (entry->commit && entry->cells.value(kBoxColumn).isEmpty())
                expected.reset(); // the earlier form: the next draw sets it
            if (const auto box = boxOf(entry->cells.value(kBoxColumn)))
                expected = box;
        }
    }
    if (wins.isEmpty())
        return std::nullopt;
    Voidable last = wins.last();
    if (last.n && expected) {
        last.boxAfterVoid = expected;
        if (last.win.mode == kByQuantity)
            ++(*last.boxAfterVoid)[last.win.slot - 1];
    }
    return last;
}

} // namespace history
