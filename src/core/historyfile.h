#pragma once

#include "prizetable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// 中奖记录.csv: one line per counted win and one per clearing of the counts,
// for the operator to open in a spreadsheet. UTF-8 with a byte order mark
// and CRLF line ends (what a spreadsheet on Windows needs to read Chinese
// text), fields quoted where RFC 4180 asks for it.
namespace history {

inline constexpr QStringView kFileName = u"中奖记录.csv";
inline constexpr QStringView kTimeFormat = u"yyyy-MM-dd HH:mm:ss";
// The slot column of a clearing's line.
inline constexpr QStringView kClearMark = u"清空中奖";
inline constexpr QStringView kByQuantity = u"按数量";
inline constexpr QStringView kByProbability = u"按概率";
// Added as a field of its own to a line a power cut left unfinished, when
// the next line is written after it: readers skip a line ending in it.
inline constexpr QStringView kTornMark = u"断电时未写完，此行作废";

// The byte order mark and the column names, as the file starts.
QByteArray headerBytes();

// One record line, ended by CRLF.
QByteArray winLine(const QDateTime &time, int slot, const QString &prizeValue, DrawMode mode,
                   const QString &count);
QByteArray clearLine(const QDateTime &time);

// Appends line in one write and syncs it to the disk. The first line of a
// new file comes after the header; a last line cut short is ended first (see
// kTornMark). Only one writer may append at a time: callers hold the lock
// of the results file. Returns the empty text, or why it failed; untouched,
// when given, tells whether the failure came before anything was written
// (the file could not be opened, read or started), so that the same line
// may be given again later.
QString append(const QString &path, const QByteArray &line, bool *untouched = nullptr);

// One record as a reader sees it.
struct Entry
{
    QDateTime time;
    int slot = 0; // 1..8, 0 for a clearing
    QString prizeValue;
    QString mode;
    QString count;
    bool isClear() const { return slot == 0; }
};

// The records of a file's bytes, in order: the header, an unfinished last
// line, lines ended as torn and lines that are no record are left out.
QList<Entry> parse(const QByteArray &bytes);

} // namespace history
