#pragma once

#include "settingsfile.h"

#include <QString>
#include <functional>

// The win counts in jieguo.a, slot 1 to 8: the one place that names their
// section and keys and knows how a count is stored ("%.13g"). Like Config it
// is a view of a SettingsFile and keeps nothing: a read sees the file with
// the changes that wait, and a change is one SettingsFile transaction under
// jieguo.a's lock. The program changes the counts through DrawHistory, which
// writes each change's history line inside that very transaction.
class WinCounts
{
public:
    using Saved = SettingsFile::Saved;

    // Anything that holds the SettingsFile may pass it where WinCounts are
    // taken: the view owns nothing.
    WinCounts(SettingsFile &file); // NOLINT(google-explicit-constructor)

    // The stored count text of slot 1..8, unchanged: empty when missing, and
    // for a slot outside 1..8.
    QString text(int slot) const;
    // The count as the draw weighs it (a leading number; 0 when none).
    double number(int slot) const;

    // One more win of slot, read and saved under the lock. stored gets the
    // count text once it is on the disk; lost runs when a win that waited is
    // refused after all. Refused, touching nothing, for a slot outside 1..8.
    Saved addWin(int slot, std::function<void(const QString &)> stored = {},
                 std::function<void()> lost = {});
    // addWin handed to the save worker with no try on the calling thread
    // (SettingsFile::postKey): Waiting until the worker's outcome.
    Saved postWin(int slot, std::function<void(const QString &)> stored = {},
                  std::function<void()> lost = {});
    // addWin stored now or not at all (SettingsFile::commitKeyNow): then()
    // gets the new count under the lock; false puts the file back.
    Saved addWinNow(int slot, const std::function<bool(const QString &)> &then);
    // Any other change of one slot's count under the lock (a void lowers
    // it): change gets the count text and returns the new one. It may run
    // again later on the file as it is then, if the change has to wait.
    Saved change(int slot, const std::function<QString(const QString &)> &change);
    // "0" for all eight, j1 first, in one write: all of them or none.
    // stored runs inside the transaction once they are on the disk.
    Saved resetAll(std::function<void()> stored = {});

    // A count text plus one win, as addWin stores it.
    static QString plusOne(const QString &count);

private:
    SettingsFile &m_file;
};
