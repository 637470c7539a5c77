#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <utility>

class SettingsFile;

namespace results {

// Adds one win to slot 1..8 in jieguo.a ("%.13g"), under the file lock.
// True when stored or waiting to be (the file held); stored, when given,
// receives the count text once it is stored.
bool addWin(SettingsFile &settings, int slot, QString *stored = nullptr);

// A count text plus one win, as addWin stores it.
QString addOne(const QString &count);

// Writes "0" to j1 … j8 in order.
bool resetAll(SettingsFile &settings);
// The keys and values resetAll writes.
QList<std::pair<QStringView, QString>> zeroCounts();

// The stored count text of a slot, unchanged (empty when missing).
QString countText(const SettingsFile &settings, int slot);

} // namespace results
