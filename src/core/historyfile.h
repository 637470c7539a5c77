#pragma once

#include "historygrammar.h"
#include "prizetable.h"
#include "publicdraw.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// 中奖记录.csv: one line per counted win and one per clearing of the counts,
// for the operator to open in a spreadsheet. UTF-8 with a byte order mark
// and CRLF line ends (what a spreadsheet on Windows needs to read Chinese
// text), fields quoted where RFC 4180 asks for it.
namespace history {

inline constexpr QStringView kFileName = u"中奖记录.csv";
inline constexpr QStringView kTimeFormat = u"yyyy-MM-dd HH:mm:ss";
// The slot column of a clearing's line.
inline constexpr QStringView kClearMark = u"清空中奖";
// The slot column of a public mode's commitment to its keys.
inline constexpr QStringView kCommitMark = u"承诺";
// The slot column of a line that records a new box before a public draw.
inline constexpr QStringView kSettingMark = historygrammar::kBoxSetMark;
// The slot column of a win voided after it was counted, and of the end of
// the public mode.
inline constexpr QStringView kVoidMark = historygrammar::kVoidMark;
inline constexpr QStringView kPublicEndMark = historygrammar::kPublicEndMark;
inline constexpr QStringView kDesignated = u"是";
inline constexpr QStringView kNotDesignated = u"否";
// Columns by position: 时间, 奖项, 奖品数值, 抽奖方式, 已中奖数量 (a file
// from before the chain has only these), then 指定, 序号, 票箱, 停止时刻,
// 票号, 公开 and 校验.
inline constexpr int kColumns = 12;
inline constexpr int kOldColumns = 5;
inline constexpr QStringView kByQuantity = u"按数量";
inline constexpr QStringView kByProbability = u"按概率";
// Added as a field of its own to a line a power cut left unfinished, when
// the next line is written after it: readers skip a line ending in it.
inline constexpr QStringView kTornMark = u"断电时未写完，此行作废";

// The byte order mark and the column names, as the file starts.
QByteArray headerBytes();

// What a win line records beside the design's five columns.
struct DrawMark
{
    bool designated = false;
    std::optional<publicdraw::Landing> landing; // a public draw's cells
    // The prize value the draw used when config.a does not hold it (the
    // prize settings' save failed); otherwise the file's is recorded.
    std::optional<QString> prizeValue;
};

// One record line without its check cell and line end: append adds them.
QByteArray winLine(const QDateTime &time, int slot, const QString &prizeValue, DrawMode mode,
                   const QString &count, const DrawMark &mark = {});
QByteArray clearLine(const QDateTime &time);
// 票箱: the eight ticket counts, slot 1 first, separated by single spaces.
QString boxText(const publicdraw::Box &box);
// A commitment, with the mode and the box at that moment.
QByteArray commitLine(const QDateTime &time, const QByteArray &commitmentHex, DrawMode mode,
                      const publicdraw::Box &box);
// The box a public draw is about to be drawn from, when it is not the one
// the lines before expect.
QByteArray settingLine(const QDateTime &time, DrawMode mode, const publicdraw::Box &box);
// The void of a counted win: its prize value, the mode, the slot's count
// after the void, and for a public draw its number and the box after the
// void.
struct VoidMark
{
    QString prizeValue;
    QString count;
    std::optional<qint64> n;
    std::optional<publicdraw::Box> box;
};
QByteArray voidLine(const QDateTime &time, DrawMode mode, const VoidMark &mark);
QByteArray publicEndLine(const QDateTime &time);

// Lowercase hex SHA-256(previous check ‖ body): previous is empty for the
// first chained line, body is the line without ",<check>" and CRLF.
QByteArray chainCheck(QByteArrayView previous, QByteArrayView body);

// Appends line (without its check cell; a CRLF at its end is dropped) in
// one write and syncs it to the disk, with the check cell computed from the
// file's last chained line as it is at this moment. The first line of a new
// file comes after the header; a last line cut short is ended first (see
// kTornMark). Only one writer may append at a time: callers hold the lock
// of the results file. check, when given, receives the line's check cell.
// Returns the empty text, or why it failed; untouched, when given, tells
// whether the failure came before anything was written (the file could not
// be opened, read or started), so that the same line may be given again
// later; held, whether another program held the file (only then is waiting
// worth it). A file or folder this user may not write is told as such
// (kNotWritable).
QString append(const QString &path, const QByteArray &line, QByteArray *check = nullptr,
               bool *untouched = nullptr, bool *held = nullptr);
inline const QString kNotWritable = QStringLiteral(
    "没有写入权限（文件夹或文件只读，或在只读的光盘、U盘上）。"
    "请把程序文件夹复制到可写的地方（如桌面）再运行，或请管理员开放权限");

// A whole line of a file: what lies between two CRLFs.
struct Line
{
    int number = 0;   // in the file, the header being line 1
    QByteArray bytes; // without CRLF
    bool torn = false;
    std::optional<QStringList> cells; // nullopt when RFC 4180 cannot read it
};

// Every whole line after the header, in order; what follows the last CRLF
// is a line still unfinished and is left out.
QList<Line> lines(const QByteArray &bytes);

// One record as a reader sees it.
struct Entry
{
    historygrammar::Kind kind = historygrammar::Kind::Win;
    QDateTime time;
    int slot = 0; // 1..8 for a win, else 0
    bool commit = false;
    QString prizeValue; // of a win or a void
    QString mode;
    QString count;
    QStringList cells; // all of them, by position
    bool isClear() const { return kind == historygrammar::Kind::Clear; }
    // Whether the line carries a check cell (a file from before has none).
    bool chained() const { return cells.size() == kColumns; }
};

// The record a line holds, by historygrammar::kindOf: a win, or one of the
// lines that clear the counts, commit to keys, change the box, void a win
// or end public mode.
std::optional<Entry> entryOf(const Line &line);

} // namespace history
