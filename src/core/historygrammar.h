#pragma once

#include "publicdraw.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <optional>

// The grammar of 中奖记录.csv, the one both checkers implement (the README
// spells it out): a byte order mark and a header, lines ended by CRLF,
// strict UTF-8, RFC 4180 quoting without line breaks, and per kind of
// record the cells it may hold. Nothing here reads the machine's time zone
// or locale.
namespace historygrammar {

// The 奖项 of the lines that change the box, void a win, or end public
// mode; history::kClearMark and history::kCommitMark are the others.
inline constexpr QStringView kBoxSetMark = u"设置";
inline constexpr QStringView kVoidMark = u"作废";
inline constexpr QStringView kPublicEndMark = u"公开抽奖结束";

enum class Kind { Win, Clear, Commit, BoxSet, Void, PublicEnd };

// UTF-8 as Unicode defines it: no overlong forms, no surrogates, nothing
// past U+10FFFF.
bool isUtf8(QByteArrayView bytes);

// The fields of one line under RFC 4180, as bytes; nullopt for a quote left
// open, text after a closing quote or a quote inside an unquoted field.
std::optional<QList<QByteArray>> csvFields(QByteArrayView line);

// A line ended as torn: its bytes end in a comma and the torn mark.
bool isTorn(QByteArrayView line);

// The cells of a cut line, split at the commas outside quotes, quotes kept:
// enough to find a key cell in what a power cut left.
QList<QByteArrayView> looseFields(QByteArrayView line);

// "YYYY-MM-DD HH:MM:SS", a real date of the Gregorian calendar, no zone.
bool isTime(QStringView text);
// 0 or an ASCII decimal without a leading zero, at most 18 digits.
std::optional<qint64> number(QStringView text);
// The eight counts of a box, separated by single spaces.
std::optional<publicdraw::Box> box(QStringView text);
// Exactly size lowercase hex digits.
bool isHex(QStringView text, int size);

// The kind of record twelve cells (or five, from before the chain) hold;
// nullopt when they are none.
std::optional<Kind> kindOf(const QStringList &cells);

// Whether the text after a file's last CRLF is a whole record that lacks
// only its line end (a CR may be there): twelve cells whose check follows
// from previousCheck, or, before the chain (previousCheck empty), five that
// read as a record.
bool isWholeRecord(QByteArrayView fragment, QByteArrayView previousCheck);

} // namespace historygrammar
