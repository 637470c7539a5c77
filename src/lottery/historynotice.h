#pragma once

#include <QString>

// The one message about 中奖记录.csv: the history is not being kept, and why.
// The counts go on; the caller shows it once per run.
namespace historynotice {

QString text(const QString &reason);
void show(const QString &reason);

} // namespace historynotice
