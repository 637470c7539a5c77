#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Checks a draw history as anyone may, by the grammar in historygrammar.h:
// the chain of check cells, each commitment's key links, every public draw
// recomputed from its own line against the box the record expects, every
// void against the win it voids. lunora-verify prints what this finds;
// tools/verify_history.py is written apart from it and prints the same
// text for every file.
namespace historycheck {

struct Report
{
    int failureLine = 0; // 0 when every check held
    QString failure;     // what failed there
    int chained = 0;
    int publicDraws = 0;
    int designated = 0;  // wins marked 是
    int designWins = 0;  // wins that are no public draw
    int boxSets = 0;     // 设置 lines
    int voids = 0;       // 作废 lines
    int publicEnds = 0;  // 公开抽奖结束 lines
    int torn = 0;
    QStringList commitments; // first 16 hex digits of each
    QByteArray lastCheck;    // first 16 hex digits
    // "line N: …", in the file's order: torn lines, box changes, voids, the
    // end of public mode, restarts, and gaps the counts are known to show.
    QStringList listed;
    bool ok() const { return failureLine == 0; }
    // What was listed, then the summary or the failure, one line each,
    // ended by LF.
    QString text() const;
};

struct Options
{
    // Every win from the first commitment on must be a public draw.
    bool publicOnly = false;
};

Report check(const QByteArray &bytes, const Options &options = {});

} // namespace historycheck
