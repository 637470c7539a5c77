#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Checks a draw history as anyone may: the chain of check cells, each
// commitment's key links, every public draw recomputed from its own line.
// lunora-verify prints what this finds; tools/verify_history.py is written
// apart from it and prints the same text.
namespace historycheck {

struct Report
{
    int failureLine = 0; // 0 when every check held
    QString failure;     // what failed there
    int chained = 0;
    int publicDraws = 0;
    QStringList commitments; // first 16 hex digits of each
    QByteArray lastCheck;    // first 16 hex digits
    QStringList notes;       // gaps the history is known to show, not failures
    bool ok() const { return failureLine == 0; }
    // The summary, or the failure, one line each, ended by LF.
    QString text() const;
};

Report check(const QByteArray &bytes);

} // namespace historycheck
