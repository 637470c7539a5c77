#include "historyfile.h"

#include "filesystem.h"

#include <QFileInfo>
#include <optional>

namespace history {
namespace {

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
    return line + kLineEnd;
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
};

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
        return Lead{headerBytes(), true};
    return Lead{tornEnding(QByteArrayView(all).sliced(lastEnd + kLineEnd.size())), false};
}

QString failure(QStringView what, const QString &why)
{
    return what + u"：" + why;
}

// The fields of one line under RFC 4180; nullopt for a line that does not
// follow it (a quote left open, text after a closing quote, a bare quote).
std::optional<QStringList> csvFields(QByteArrayView line)
{
    QStringList fields;
    qsizetype i = 0;
    for (;;) {
        QByteArray field;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == '"' && (i + 1 >= line.size() || line[i + 1] != '"'))
                    break;
                if (line[i] == '"')
                    ++i;
                field += line[i];
            }
            ++i;
        } else {
            const qsizetype comma = line.indexOf(',', i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            field = line.sliced(i, end - i).toByteArray();
            if (field.contains('"'))
                return std::nullopt;
            i = end;
        }
        fields.append(QString::fromUtf8(field));
        if (i >= line.size())
            return fields;
        if (line[i] != ',')
            return std::nullopt;
        ++i;
    }
}

// A record has exactly five fields, a valid time, and either a slot 1..8
// with a mode and a count or the clearing mark with three empty fields. The
// header and a line ended as torn fail these tests.
std::optional<Entry> record(const QStringList &fields)
{
    if (fields.size() != 5 || fields.last() == kTornMark)
        return std::nullopt;
    Entry entry;
    entry.time = QDateTime::fromString(fields[0], kTimeFormat.toString());
    if (!entry.time.isValid())
        return std::nullopt;
    if (fields[1] == kClearMark) {
        if (!fields[2].isEmpty() || !fields[3].isEmpty() || !fields[4].isEmpty())
            return std::nullopt;
        return entry;
    }
    const QString &slot = fields[1];
    if (slot.size() != 1 || slot[0] < u'1' || slot[0] > u'8' || fields[4].isEmpty()
        || (fields[3] != kByQuantity && fields[3] != kByProbability))
        return std::nullopt;
    entry.slot = slot[0].unicode() - u'0';
    entry.prizeValue = fields[2];
    entry.mode = fields[3];
    entry.count = fields[4];
    return entry;
}

} // namespace

QByteArray headerBytes()
{
    return "\xEF\xBB\xBF" + csvLine({u"时间"_qs, u"奖项"_qs, u"奖品数值"_qs, u"抽奖方式"_qs, u"已中奖数量"_qs});
}

QByteArray winLine(const QDateTime &time, int slot, const QString &prizeValue, DrawMode mode,
                   const QString &count)
{
    const QStringView modeText = mode == DrawMode::ByQuantity ? kByQuantity : kByProbability;
    return csvLine({time.toString(kTimeFormat), QString::number(slot), prizeValue,
                    modeText.toString(), count});
}

QByteArray clearLine(const QDateTime &time)
{
    return csvLine({time.toString(kTimeFormat), kClearMark.toString(), {}, {}, {}});
}

// One write: a crash leaves the new bytes wholly there, or cut short at
// their end, never interleaved with anything else.
QString append(const QString &path, const QByteArray &line, bool *untouched)
{
    // Until the write, a failure leaves the file as it was.
    if (untouched)
        *untouched = true;
    const FileSystem &files = FileSystem::current();
    QFile file;
    if (files.open(file, path, QIODevice::ReadWrite | QIODevice::Unbuffered) != FileSystem::Outcome::Done)
        return failure(u"无法打开", file.isOpen() ? file.errorString() : qt_error_string());
    const std::optional<Lead> lead = leadFor(file);
    if (!lead)
        return failure(u"无法读取", file.errorString());
    if (lead->anew && !file.resize(0))
        return failure(u"无法重写", file.errorString());
    const QByteArray bytes = lead->bytes + line;
    if (untouched)
        *untouched = false;
    if (!file.seek(file.size()) || file.write(bytes) != bytes.size())
        return failure(u"写入失败", file.errorString());
    if (!files.syncFile(file))
        return failure(u"无法存入磁盘", qt_error_string());
    if (lead->anew && !files.syncFolder(QFileInfo(path).absolutePath()))
        return failure(u"无法存入磁盘", qt_error_string());
    return {};
}

QList<Entry> parse(const QByteArray &bytes)
{
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    QList<Entry> entries;
    // What follows the last CRLF is a line still unfinished: no record.
    for (qsizetype end = rest.indexOf(kLineEnd); end >= 0; end = rest.indexOf(kLineEnd)) {
        if (const auto fields = csvFields(rest.first(end))) {
            if (const auto entry = record(*fields))
                entries.append(*entry);
        }
        rest = rest.sliced(end + kLineEnd.size());
    }
    return entries;
}

} // namespace history
