#pragma once

#include <QString>

class SettingsFile;

namespace results {

// Adds one win to slot 1..8 in jieguo.a ("%.13g"), under the file lock.
// stored, when given, receives the count text written.
bool countWin(const SettingsFile &settings, int slot, QString *stored = nullptr);

// Writes "0" to j1 … j8 in order.
bool resetAll(const SettingsFile &settings);

// The stored count text of a slot, unchanged (empty when missing).
QString countText(const SettingsFile &settings, int slot);

} // namespace results
