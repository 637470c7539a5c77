#include "results.h"

#include "keys.h"
#include "settingsfile.h"
#include "values.h"

#include <memory>

namespace results {

static bool validSlot(int slot)
{
    return slot >= 1 && slot <= 8;
}

// The read, the addition and the write happen under the results file's lock,
// so a second running copy cannot lose this win or have its own lost. A win
// that has to wait for a held file counts as it waits (see SettingsFile).
bool addWin(SettingsFile &settings, int slot, QString *stored)
{
    if (!validSlot(slot))
        return false;
    auto text = std::make_shared<QString>();
    const SettingsFile::Saved saved
        = settings.commitKey(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1], &addOne,
                             [text](const QString &count) { *text = count; });
    if (saved == SettingsFile::Saved::Stored && stored)
        *stored = *text;
    return saved != SettingsFile::Saved::Refused;
}

QString addOne(const QString &count)
{
    return values::formatG13(values::textToNumber(count) + 1);
}

// One rewrite of the file: the eight counts are reset together or not at all.
bool resetAll(SettingsFile &settings)
{
    return settings.writeMany(DataFile::Results, keys::kZjjg, zeroCounts());
}

QList<std::pair<QStringView, QString>> zeroCounts()
{
    QList<std::pair<QStringView, QString>> zeros;
    for (const QStringView key : keys::kWins)
        zeros.append({key, QStringLiteral("0")});
    return zeros;
}

QString countText(const SettingsFile &settings, int slot)
{
    if (!validSlot(slot))
        return {};
    return settings.read(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1]);
}

} // namespace results
