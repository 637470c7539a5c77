#include "wincounts.h"

#include "keys.h"
#include "values.h"

#include <QList>
#include <utility>

namespace {

bool validSlot(int slot)
{
    return slot >= 1 && slot <= 8;
}

QStringView key(int slot)
{
    return keys::kWins[slot - 1];
}

} // namespace

WinCounts::WinCounts(SettingsFile &file)
    : m_file(file)
{
}

QString WinCounts::text(int slot) const
{
    if (!validSlot(slot))
        return {};
    return m_file.read(DataFile::Results, keys::kZjjg, key(slot));
}

double WinCounts::number(int slot) const
{
    return values::textToNumber(text(slot));
}

// The read, the addition and the write happen under the file's lock, so a
// second running copy can neither lose this win nor have its own lost. A win
// that has to wait for a held file counts as it waits (see SettingsFile).
WinCounts::Saved WinCounts::addWin(int slot, std::function<void(const QString &)> stored,
                                   std::function<void()> lost)
{
    if (!validSlot(slot))
        return Saved::Refused;
    return m_file.commitKey(DataFile::Results, keys::kZjjg, key(slot), &plusOne, std::move(stored),
                            std::move(lost));
}

WinCounts::Saved WinCounts::postWin(int slot, std::function<void(const QString &)> stored,
                                    std::function<void()> lost)
{
    if (!validSlot(slot))
        return Saved::Refused;
    return m_file.postKey(DataFile::Results, keys::kZjjg, key(slot), &plusOne, std::move(stored),
                          std::move(lost));
}

WinCounts::Saved WinCounts::addWinNow(int slot, const std::function<bool(const QString &)> &then)
{
    if (!validSlot(slot))
        return Saved::Refused;
    return m_file.commitKeyNow(DataFile::Results, keys::kZjjg, key(slot), &plusOne, then);
}

WinCounts::Saved WinCounts::change(int slot, const std::function<QString(const QString &)> &change)
{
    if (!validSlot(slot))
        return Saved::Refused;
    return m_file.commitKey(DataFile::Results, keys::kZjjg, key(slot), change);
}

WinCounts::Saved WinCounts::resetAll(std::function<void()> stored)
{
    QList<std::pair<QStringView, QString>> zeros;
    for (const QStringView count : keys::kWins)
        zeros.append({count, QStringLiteral("0")});
    std::function<void(const QString &)> then;
    if (stored)
        then = [stored = std::move(stored)](const QString &) { stored(); };
    return m_file.commitMany(DataFile::Results, keys::kZjjg, zeros, std::move(then));
}

QString WinCounts::plusOne(const QString &count)
{
    return values::formatG13(values::textToNumber(count) + 1);
}
