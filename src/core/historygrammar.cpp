#include "historygrammar.h"

#include "historyfile.h"

#include <algorithm>

namespace historygrammar {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int digits(QStringView text, qsizetype from, qsizetype size)
{
    int value = 0;
    for (qsizetype i = from; i < from + size; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return value;
}

bool isMode(QStringView text)
{
    return text == history::kByQuantity || text == history::kByProbability;
}

// -?digits(.digits)?(e[+-]digits)?: a count as the program prints it
// (printf's %.13g, which a count edited by hand into a fraction can need).
bool isCount(QStringView text)
{
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    auto run = [&] {
        const qsizetype start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        return i > start;
    };
    if (!run())
        return false;
    if (i < text.size() && text[i] == u'.' && (++i, !run()))
        return false;
    if (i < text.size() && text[i] == u'e') {
        if (++i >= text.size() || (text[i] != u'+' && text[i] != u'-'))
            return false;
        ++i;
        if (!run())
            return false;
    }
    return i == text.size();
}

bool emptyExcept(const QStringList &cells, std::initializer_list<int> kept)
{
    for (int i = 2; i <= 10; ++i) {
        if (std::find(kept.begin(), kept.end(), i) == kept.end() && !cells[i].isEmpty())
            return false;
    }
    return true;
}

bool isSlot(QStringView text)
{
    return text.size() == 1 && text[0] >= u'1' && text[0] <= u'8';
}

// A win's five cells of a public draw are all there or all empty.
bool winCells(const QStringList &cells)
{
    if (!isMode(cells[3]) || !isCount(cells[4])
        || (cells[5] != history::kDesignated && cells[5] != history::kNotDesignated))
        return false;
    if (emptyExcept(cells, {2, 3, 4, 5}))
        return true;
    return number(cells[6]) && box(cells[7]) && number(cells[8]) && number(cells[9]) && isHex(cells[10], 64);
}

std::optional<Kind> oldKindOf(const QStringList &cells)
{
    if (cells[1] == history::kClearMark && cells[2].isEmpty() && cells[3].isEmpty() && cells[4].isEmpty())
        return Kind::Clear;
    if (isSlot(cells[1]) && isMode(cells[3]) && isCount(cells[4]))
        return Kind::Win;
    return std::nullopt;
}

} // namespace

// Unicode's table of well-formed byte sequences.
bool isUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar b = uchar(bytes[i]);
        int more = 0;
        uchar low = 0x80, high = 0xBF;
        if (b < 0x80)
            more = 0;
        else if (b >= 0xC2 && b <= 0xDF)
            more = 1;
        else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else
            return false;
        if (i + more >= bytes.size() && more > 0)
            return false;
        for (int k = 1; k <= more; ++k) {
            const uchar c = uchar(bytes[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
                return false;
        }
        i += more + 1;
    }
    return true;
}

std::optional<QList<QByteArray>> csvFields(QByteArrayView line)
{
    QList<QByteArray> fields;
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
        fields.append(field);
        if (i >= line.size())
            return fields;
        if (line[i] != ',')
            return std::nullopt;
        ++i;
    }
}

bool isTorn(QByteArrayView line)
{
    return line.endsWith(QByteArray(',' + history::kTornMark.toUtf8()));
}

QList<QByteArrayView> looseFields(QByteArrayView line)
{
    QList<QByteArrayView> fields;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i == line.size() || (line[i] == ',' && !quoted)) {
            fields.append(line.sliced(start, i - start));
            start = i + 1;
        } else if (line[i] == '"') {
            quoted = !quoted;
        }
    }
    return fields;
}

bool isTime(QStringView text)
{
    static constexpr char kShape[] = "dddd-dd-dd dd:dd:dd";
    if (text.size() != 19)
        return false;
    for (int i = 0; i < 19; ++i) {
        if (kShape[i] == 'd' ? !isDigit(text[i]) : text[i] != QLatin1Char(kShape[i]))
            return false;
    }
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap))
        return false;
    return digits(text, 11, 2) <= 23 && digits(text, 14, 2) <= 59 && digits(text, 17, 2) <= 59;
}

std::optional<qint64> number(QStringView text)
{
    if (text.isEmpty() || text.size() > 18 || (text.size() > 1 && text[0] == u'0'))
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<publicdraw::Box> box(QStringView text)
{
    const QList<QStringView> parts = text.split(u' ');
    if (parts.size() != 8)
        return std::nullopt;
    publicdraw::Box result{};
    for (int i = 0; i < 8; ++i) {
        const auto t = number(parts[i]);
        if (!t)
            return std::nullopt;
        result[i] = *t;
    }
    return result;
}

bool isHex(QStringView text, int size)
{
    if (text.size() != size)
        return false;
    for (const QChar c : text) {
        if (!isDigit(c) && (c < u'a' || c > u'f'))
            return false;
    }
    return true;
}

std::optional<Kind> kindOf(const QStringList &cells)
{
    if ((cells.size() != history::kColumns && cells.size() != history::kOldColumns) || !isTime(cells[0]))
        return std::nullopt;
    if (cells.size() == history::kOldColumns)
        return oldKindOf(cells);
    if (!isHex(cells[11], 64))
        return std::nullopt;
    const QString &mark = cells[1];
    if (isSlot(mark))
        return winCells(cells) ? std::optional(Kind::Win) : std::nullopt;
    if (mark == history::kClearMark && emptyExcept(cells, {}))
        return Kind::Clear;
    if (mark == history::kCommitMark && isHex(cells[10], 64) && emptyExcept(cells, {3, 7, 10})
        && ((cells[3].isEmpty() && cells[7].isEmpty()) || (isMode(cells[3]) && box(cells[7]))))
        return Kind::Commit;
    if (mark == kBoxSetMark && isMode(cells[3]) && box(cells[7]) && emptyExcept(cells, {3, 7}))
        return Kind::BoxSet;
    if (mark == kVoidMark && isMode(cells[3]) && isCount(cells[4]) && emptyExcept(cells, {2, 3, 4, 6, 7})
        && ((cells[6].isEmpty() && cells[7].isEmpty()) || (number(cells[6]) && box(cells[7]))))
        return Kind::Void;
    if (mark == kPublicEndMark && emptyExcept(cells, {}))
        return Kind::PublicEnd;
    return std::nullopt;
}

bool isWholeRecord(QByteArrayView fragment, QByteArrayView previousCheck)
{
    const QByteArrayView line = fragment.endsWith('\r') ? fragment.chopped(1) : fragment;
    if (line.contains('\r') || line.contains('\n') || !isUtf8(line))
        return false;
    const auto fields = csvFields(line);
    if (!fields)
        return false;
    if (fields->size() == history::kColumns)
        return history::chainCheck(previousCheck, line.first(line.lastIndexOf(','))) == fields->last();
    QStringList cells;
    for (const QByteArray &field : *fields)
        cells.append(QString::fromUtf8(field));
    return cells.size() == history::kOldColumns && previousCheck.isEmpty() && kindOf(cells).has_value();
}

} // namespace historygrammar
