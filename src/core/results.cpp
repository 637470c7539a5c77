#include "results.h"

#include "keys.h"
#include "settingsfile.h"
#include "values.h"

namespace results {

static bool validSlot(int slot)
{
    return slot >= 1 && slot <= 8;
}

// The read, the addition and the write happen under the results file's lock,
// so a second running copy cannot lose this win or have its own lost.
bool countWin(const SettingsFile &settings, int slot, QString *stored)
{
    if (!validSlot(slot))
        return false;
    QString next;
    const bool written = settings.update(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1],
                                         [&next](const QString &current) {
                                             next = values::formatG13(values::textToNumber(current) + 1);
                                             return next;
                                         });
    if (written && stored)
        *stored = next;
    return written;
}

// One rewrite of the file: the eight counts are reset together or not at all.
bool resetAll(const SettingsFile &settings)
{
    QList<std::pair<QStringView, QString>> zeros;
    for (const QStringView key : keys::kWins)
        zeros.append({key, QStringLiteral("0")});
    return settings.writeMany(DataFile::Results, keys::kZjjg, zeros);
}

QString countText(const SettingsFile &settings, int slot)
{
    if (!validSlot(slot))
        return {};
    return settings.read(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1]);
}

} // namespace results
