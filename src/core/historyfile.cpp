#include "historyfile.h"

#include "filesystem.h"
#include "historygrammar.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <optional>

namespace history {
namespace {

Q_LOGGING_CATEGORY(logDraw, "lunora.draw", QtInfoMsg)

constexpr QByteArrayView kLineEnd = "\r\n";

// RFC 4180: a field holding a comma or a quote is quoted, with its quotes
// doubled. Line breaks become blanks (the values of config.a are single
// lines anyway), so that every line of the file is one record and the last
// CRLF always ends the last whole one.
QByteArray csvField(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    // A spreadsheet runs a field that starts like a formula; text typed as a
    // prize value must stay text there. Numbers, negative ones too, stay as
    // they are.
    static const QString kFormulaStarts = QStringLiteral("=+-@\t");
    bool number = false;
    text.toDouble(&number);
    if (!text.isEmpty() && kFormulaStarts.contains(text.front()) && !number)
        text.prepend(u'\'');
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray csvLine(const QStringList &fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += csvField(fields[i]);
    }
    return line;
}

// The end put after a line a power cut cut short: a quote it left open is
// closed, so the cut line cannot swallow the next one, and the mark follows
// as a field of its own.
QByteArray tornEnding(QByteArrayView fragment)
{
    QByteArray ending;
    if (fragment.count('"') % 2 != 0)
        ending += '"';
    return ending + ',' + kTornMark.toUtf8() + kLineEnd;
}

struct Lead
{
    QByteArray bytes;  // what goes before the new line
    bool anew = false; // the file starts again from the header
    // The check the new line chains to, when the repair already read it.
    std::optional<QByteArray> previous;
};

std::optional<QByteArray> previousCheck(QFile &file);

// A cut-off last line that is a whole record, short of its line end only,
// is ended; anything else a power cut left is ended as torn.
std::optional<Lead> repairFor(QFile &file, QByteArrayView fragment)
{
    const std::optional<QByteArray> previous = previousCheck(file);
    if (!previous)
        return std::nullopt;
    if (!historygrammar::isWholeRecord(fragment, *previous))
        return Lead{tornEnding(fragment), false, previous};
    const bool halfEnded = fragment.endsWith('\r');
    const auto fields = historygrammar::csvFields(halfEnded ? fragment.chopped(1) : fragment);
    const bool chained = fields && fields->size() == kColumns;
    return Lead{halfEnded ? QByteArray("\n") : kLineEnd.toByteArray(), false,
                chained ? fields->last() : QByteArray()};
}

// Normally nothing: the file ends with a whole line. A file holding no
// whole line at all (a new file, or the first write of one cut short)
// starts again from its header: no record can be lost with it. Otherwise
// the cut-off last line is ended first.
std::optional<Lead> leadFor(QFile &file)
{
    const qint64 size = file.size();
    if (size >= kLineEnd.size()) {
        if (!file.seek(size - kLineEnd.size()))
            return std::nullopt;
        const QByteArray tail = file.read(kLineEnd.size());
        if (tail.size() != kLineEnd.size())
            return std::nullopt;
        if (tail == kLineEnd)
            return Lead{};
    }
    if (!file.seek(0))
        return std::nullopt;
    const QByteArray all = file.readAll();
    if (all.size() != size)
        return std::nullopt;
    const qsizetype lastEnd = all.lastIndexOf(kLineEnd);
    if (lastEnd < 0)
        return Lead{headerBytes(), true, QByteArray()};
    return repairFor(file, QByteArrayView(all).sliced(lastEnd + kLineEnd.size()));
}

// The file, or the folder a missing file would be made in, refuses this
// user (its permissions, or read-only media).
bool mayNotWrite(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists())
        return file.isFile() && !file.isWritable();
    return !QFileInfo(file.absolutePath()).isWritable();
}

QString failure(QStringView what, const QString &why)
{
    return what + u"：" + why;
}

// The fields of one line under RFC 4180; nullopt for a line that does not
// follow it (a quote left open, text after a closing quote, a bare quote).
std::optional<QStringList> csvFields(QByteArrayView line)
{
    const std::optional<QList<QByteArray>> bytes = historygrammar::csvFields(line);
    if (!bytes)
        return std::nullopt;
    QStringList fields;
    for (const QByteArray &field : *bytes)
        fields.append(QString::fromUtf8(field));
    return fields;
}

bool isCheck(QStringView text)
{
    return historygrammar::isHex(text, 64);
}

// The check the next line chains to: that of the last whole line that is
// not torn, or nothing when that line is the header or a line from before
// the chain. The file's tail is read first, the whole file only when the
// tail holds no such line.
std::optional<QByteArray> previousCheck(QFile &file)
{
    const qint64 size = file.size();
    for (qint64 span = std::min<qint64>(size, 65536);; span = size) {
        if (!file.seek(size - span))
            return std::nullopt;
        const QByteArray tail = file.read(span);
        if (tail.size() != span)
            return std::nullopt;
        // Walks back from the last CRLF; what follows it is unfinished and
        // never chained. A part before the first CRLF of a partial tail may
        // be cut, so it is not looked at.
        const QByteArrayView view(tail);
        qsizetype end = view.lastIndexOf(kLineEnd);
        while (end >= 0) {
            const qsizetype before = end > 0 ? view.first(end).lastIndexOf(kLineEnd) : -1;
            if (before < 0 && span != size)
                break;
            const qsizetype start = before < 0 ? 0 : before + kLineEnd.size();
            const QByteArrayView line = view.sliced(start, end - start);
            end = before;
            if (historygrammar::isTorn(line))
                continue;
            if (before < 0)
                return QByteArray(); // the header
            const auto fields = csvFields(line);
            if (fields && fields->size() == kColumns && isCheck(fields->last()))
                return fields->last().toLatin1();
            return QByteArray();
        }
        if (span == size)
            return QByteArray();
    }
}

} // namespace

QByteArray headerBytes()
{
    return "\xEF\xBB\xBF"
        + csvLine({u"时间"_qs, u"奖项"_qs, u"奖品数值"_qs, u"抽奖方式"_qs, u"已中奖数量"_qs, u"指定"_qs,
                   u"序号"_qs, u"票箱"_qs, u"停止时刻"_qs, u"票号"_qs, u"公开"_qs, u"校验"_qs})
        + kLineEnd;
}

QByteArray winLine(const QDateTime &time, int slot, const QString &prizeValue, DrawMode mode,
                   const QString &count, const DrawMark &mark)
{
    const QStringView modeText = mode == DrawMode::ByQuantity ? kByQuantity : kByProbability;
    QStringList cells{time.toString(kTimeFormat), QString::number(slot), prizeValue, modeText.toString(),
                      count, (mark.designated ? kDesignated : kNotDesignated).toString()};
    if (const auto &landing = mark.landing) {
        cells << QString::number(landing->n) << boxText(landing->box) << QString::number(landing->moment)
              << QString::number(landing->ticket.ticket) << QString::fromLatin1(landing->keyHex);
    } else {
        cells << QString() << QString() << QString() << QString() << QString();
    }
    return csvLine(cells);
}

QByteArray clearLine(const QDateTime &time)
{
    QStringList cells(kColumns - 1);
    cells[0] = time.toString(kTimeFormat);
    cells[1] = kClearMark.toString();
    return csvLine(cells);
}

QString boxText(const publicdraw::Box &box)
{
    QStringList counts;
    for (const qint64 t : box)
        counts.append(QString::number(t));
    return counts.join(u' ');
}

QByteArray commitLine(const QDateTime &time, const QByteArray &commitmentHex, DrawMode mode,
                      const publicdraw::Box &box)
{
    QStringList cells(kColumns - 1);
    cells[0] = time.toString(kTimeFormat);
    cells[1] = kCommitMark.toString();
    cells[3] = (mode == DrawMode::ByQuantity ? kByQuantity : kByProbability).toString();
    cells[7] = boxText(box);
    cells[10] = QString::fromLatin1(commitmentHex);
    return csvLine(cells);
}

QByteArray settingLine(const QDateTime &time, DrawMode mode, const publicdraw::Box &box)
{
    QStringList cells(kColumns - 1);
    cells[0] = time.toString(kTimeFormat);
    cells[1] = kSettingMark.toString();
    cells[3] = (mode == DrawMode::ByQuantity ? kByQuantity : kByProbability).toString();
    cells[7] = boxText(box);
    return csvLine(cells);
}

QByteArray voidLine(const QDateTime &time, DrawMode mode, const VoidMark &mark)
{
    QStringList cells(kColumns - 1);
    cells[0] = time.toString(kTimeFormat);
    cells[1] = kVoidMark.toString();
    cells[2] = mark.prizeValue;
    cells[3] = (mode == DrawMode::ByQuantity ? kByQuantity : kByProbability).toString();
    cells[4] = mark.count;
    if (mark.n)
        cells[6] = QString::number(*mark.n);
    if (mark.box)
        cells[7] = boxText(*mark.box);
    return csvLine(cells);
}

QByteArray publicEndLine(const QDateTime &time)
{
    QStringList cells(kColumns - 1);
    cells[0] = time.toString(kTimeFormat);
    cells[1] = kPublicEndMark.toString();
    return csvLine(cells);
}

QByteArray chainCheck(QByteArrayView previous, QByteArrayView body)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previous);
    hash.addData(body);
    return hash.result().toHex();
}

// One write: a crash leaves the new bytes wholly there, or cut short at
// their end, never interleaved with anything else.
QString append(const QString &path, const QByteArray &line, QByteArray *check, bool *untouched,
               bool *held)
{
    // Until the write, a failure leaves the file as it was.
    if (untouched)
        *untouched = true;
    const FileSystem &files = FileSystem::current();
    QFile file;
    const FileSystem::Outcome opened = files.open(file, path, QIODevice::ReadWrite | QIODevice::Unbuffered);
    const QString why = file.isOpen() ? file.errorString() : qt_error_string();
    if (held)
        *held = opened == FileSystem::Outcome::Busy;
    if (opened == FileSystem::Outcome::Refused && mayNotWrite(path))
        return kNotWritable;
    if (opened != FileSystem::Outcome::Done)
        return failure(u"无法打开", why);
    const std::optional<Lead> lead = leadFor(file);
    if (!lead)
        return failure(u"无法读取", file.errorString());
    if (lead->anew && !file.resize(0))
        return failure(u"无法重写", file.errorString());
    // Read under the lock at this very append, so that a line a second copy
    // wrote, or one held back and written late, chains where it lands.
    const std::optional<QByteArray> previous = lead->previous ? lead->previous : previousCheck(file);
    if (!previous)
        return failure(u"无法读取", file.errorString());
    const QByteArrayView body = QByteArrayView(line).endsWith(kLineEnd) ? QByteArrayView(line).chopped(2)
                                                                          : QByteArrayView(line);
    const QByteArray lineCheck = chainCheck(*previous, body);
    const QByteArray bytes = lead->bytes + body + ',' + lineCheck + kLineEnd;
    if (untouched)
        *untouched = false;
    if (!file.seek(file.size()) || file.write(bytes) != bytes.size())
        return failure(u"写入失败", file.errorString());
    if (!files.syncFile(file))
        return failure(u"无法存入磁盘", qt_error_string());
    if (lead->anew && !files.syncFolder(QFileInfo(path).absolutePath()))
        return failure(u"无法存入磁盘", qt_error_string());
    if (check)
        *check = lineCheck;
    if (!lead->anew && lead->bytes.size() > kLineEnd.size())
        qCWarning(logDraw, "the last line of %ls was cut short (a power cut or a kill) and is marked torn",
                  qUtf16Printable(QFileInfo(path).fileName()));
    return {};
}

QList<Line> lines(const QByteArray &bytes)
{
    QList<Line> result;
    QByteArrayView rest(bytes);
    int number = 1;
    const qsizetype headerEnd = rest.indexOf(kLineEnd);
    if (headerEnd < 0)
        return result;
    rest = rest.sliced(headerEnd + kLineEnd.size());
    // What follows the last CRLF is a line still unfinished: no record.
    for (qsizetype end = rest.indexOf(kLineEnd); end >= 0; end = rest.indexOf(kLineEnd)) {
        Line line;
        line.number = ++number;
        line.bytes = rest.first(end).toByteArray();
        line.torn = historygrammar::isTorn(line.bytes);
        line.cells = csvFields(line.bytes);
        result.append(line);
        rest = rest.sliced(end + kLineEnd.size());
    }
    return result;
}

std::optional<Entry> entryOf(const Line &line)
{
    if (line.torn || !line.cells)
        return std::nullopt;
    const QStringList &cells = *line.cells;
    const auto kind = historygrammar::kindOf(cells);
    if (!kind)
        return std::nullopt;
    Entry entry;
    entry.kind = *kind;
    entry.cells = cells;
    // A calendar time: the date and time as written, in this machine's
    // zone only because a QDateTime needs one.
    entry.time = QDateTime(QDate::fromString(cells[0].left(10), u"yyyy-MM-dd"),
                           QTime::fromString(cells[0].mid(11), u"HH:mm:ss"));
    if (*kind == historygrammar::Kind::Win || *kind == historygrammar::Kind::Void) {
        entry.prizeValue = cells[2];
        entry.mode = cells[3];
        entry.count = cells[4];
    }
    if (*kind == historygrammar::Kind::Win)
        entry.slot = cells[1][0].unicode() - u'0';
    entry.commit = *kind == historygrammar::Kind::Commit;
    return entry;
}

} // namespace history
