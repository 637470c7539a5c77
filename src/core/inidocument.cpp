#include "inidocument.h"

#include <utility>

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// What the profile functions strip around names and values: space, tab and
// the control characters that editors and old tools leave at line ends
// (CR of a doubled line end, VT, FF, and SUB, the Ctrl-Z end-of-file mark).
// None of them can be the second byte of a GBK character or part of a UTF-8
// sequence, so stripping them byte by byte never cuts a character.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

QByteArrayView trimBlanks(QByteArrayView v)
{
    qsizetype begin = 0;
    qsizetype end = v.size();
    while (begin < end && isBlank(v[begin]))
        ++begin;
    while (end > begin && isBlank(v[end - 1]))
        --end;
    return v.sliced(begin, end - begin);
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool isGbkLead(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// ASCII letters match in either case. The second byte of a GBK pair can be
// an ASCII letter ("\x81\x41" and "\x81\x61" are different characters), so
// in GBK a lead byte and the byte after it are compared exactly. UTF-8 never
// puts an ASCII byte inside a character.
bool namesEqual(QByteArrayView a, QByteArrayView b, bool utf8)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!utf8 && isGbkLead(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The last "]" of a line that is a character of its own: in GBK it can also
// be the second byte of a character, which closes nothing.
qsizetype lastClosingBracket(QByteArrayView line, bool utf8)
{
    if (utf8)
        return line.lastIndexOf(']');
    qsizetype last = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (isGbkLead(line[i]) && i + 1 < line.size())
            ++i;
        else if (line[i] == ']')
            last = i;
    }
    return last;
}

// One line of the text: [begin, end) is its content without the line end,
// next is where the following line starts.
struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// A line ends at LF, CRLF, a CR on its own (the old Macintosh convention)
// or the "\r\r\n" a text-mode copy makes of CRLF, which counts as one line
// end so that new lines never go between its CR and its CRLF.
Line lineAt(const QByteArray &text, qsizetype pos)
{
    qsizetype end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r')
        ++end;
    const QByteArrayView rest = QByteArrayView(text).sliced(end);
    qsizetype next = end + qMin<qsizetype>(rest.size(), 1);
    if (rest.startsWith("\r\r\n"))
        next = end + 3;
    else if (rest.startsWith("\r\n"))
        next = end + 2;
    return {pos, end, next};
}

enum class LineKind { Other, Section, Entry };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QByteArrayView name;
    // Entries only, as offsets within the line: where the value starts, or
    // for a line without "=", where the name ends (-1 = no "=").
    qsizetype afterEquals = -1;
    qsizetype nameEnd = 0;
};

ParsedLine parseLine(QByteArrayView line, bool utf8)
{
    const QByteArrayView trimmed = trimBlanks(line);
    if (trimmed.isEmpty())
        return {};
    if (trimmed.startsWith('[')) {
        // Without its "]" the line is no header; the platform then takes it
        // for a key of the section before it.
        const qsizetype close = lastClosingBracket(trimmed, utf8);
        if (close > 0)
            return {LineKind::Section, trimBlanks(trimmed.sliced(1, close - 1))};
    }
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
        const qsizetype nameEnd = trimmed.data() - line.data() + trimmed.size();
        return {LineKind::Entry, trimmed, -1, nameEnd};
    }
    return {LineKind::Entry, trimBlanks(line.first(equals)), equals + 1, equals};
}

QByteArrayView unquote(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

// Where a section and key sit in the text. Only the first section of the
// name is searched: a key that appears only in a later duplicate is absent.
struct Location
{
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    ParsedLine entry;
    qsizetype sectionEnd = 0; // just past the last non-blank line of the section
};

Location locate(const QByteArray &text, qsizetype start, QByteArrayView section,
                QByteArrayView key, bool utf8)
{
    Location loc;
    for (qsizetype pos = start; pos < text.size();) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        const QByteArrayView content(text.constData() + line.begin, line.end - line.begin);
        const ParsedLine parsed = parseLine(content, utf8);
        if (parsed.kind == LineKind::Section) {
            if (loc.sectionFound)
                break;
            loc.sectionFound = namesEqual(parsed.name, section, utf8);
            loc.sectionEnd = line.next;
            continue;
        }
        if (!loc.sectionFound || parsed.kind == LineKind::Other)
            continue;
        loc.sectionEnd = line.next;
        if (namesEqual(parsed.name, key, utf8)) {
            loc.keyFound = true;
            loc.keyLine = line;
            loc.entry = parsed;
            break;
        }
    }
    return loc;
}

// The line end the text already uses; CRLF for a text without one, and for
// the doubled "\r\r\n".
QByteArray lineEndOf(const QByteArray &text, qsizetype start)
{
    const Line first = lineAt(text, start);
    const QByteArrayView end(text.constData() + first.end, first.next - first.end);
    if (end == "\n" || end == "\r")
        return end.toByteArray();
    return QByteArrayLiteral("\r\n");
}

// What must come before new lines inserted at pos so that they start on a
// line of their own.
QByteArray lineBreakBefore(const QByteArray &text, qsizetype start, qsizetype pos,
                           const QByteArray &eol)
{
    if (pos <= start || text[pos - 1] == '\n' || text[pos - 1] == '\r')
        return {};
    return eol;
}

QByteArrayView firstLineOf(QByteArrayView value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n')
            return value.first(i);
    }
    return value;
}

bool hasLineBreakOrNul(QByteArrayView name)
{
    return name.contains('\r') || name.contains('\n') || name.contains('\0');
}

} // namespace

IniDocument::IniDocument(QByteArray text, bool utf8)
    : m_text(std::move(text))
    , m_utf8(utf8 || m_text.startsWith(kUtf8Bom))
{
}

qsizetype IniDocument::start() const
{
    return m_utf8 && m_text.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
}

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const qsizetype start = this->start();
    const Location loc = locate(m_text, start, trimBlanks(section), trimBlanks(key), m_utf8);
    if (!loc.keyFound || loc.entry.afterEquals < 0)
        return std::nullopt;
    const QByteArrayView line(m_text.constData() + loc.keyLine.begin,
                              loc.keyLine.end - loc.keyLine.begin);
    return unquote(trimBlanks(line.sliced(loc.entry.afterEquals))).toByteArray();
}

void IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (!canStore(section, key, m_utf8))
        return;
    section = trimBlanks(section);
    key = trimBlanks(key);
    value = firstLineOf(value);
    const qsizetype start = this->start();
    const Location loc = locate(m_text, start, section, key, m_utf8);
    if (loc.keyFound) {
        // The key keeps its spelling; everything after "=" is the new value.
        // A line without "=" gets one after its name.
        const bool hasEquals = loc.entry.afterEquals >= 0;
        const qsizetype from
            = loc.keyLine.begin + (hasEquals ? loc.entry.afterEquals : loc.entry.nameEnd);
        QByteArray replacement = hasEquals ? QByteArray() : QByteArray("=");
        replacement.append(value);
        m_text.replace(from, loc.keyLine.end - from, replacement);
        return;
    }
    const QByteArray eol = lineEndOf(m_text, start);
    QByteArray entry = key.toByteArray();
    entry.append('=').append(value).append(eol);
    if (loc.sectionFound) {
        const qsizetype at = loc.sectionEnd;
        m_text.insert(at, lineBreakBefore(m_text, start, at, eol).append(entry));
        return;
    }
    m_text.append(lineBreakBefore(m_text, start, m_text.size(), eol));
    m_text.append('[').append(section).append(']').append(eol).append(entry);
}

bool IniDocument::canStore(QByteArrayView section, QByteArrayView key, bool utf8)
{
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (section.isEmpty() || key.isEmpty() || hasLineBreakOrNul(section)
        || hasLineBreakOrNul(key) || key.contains('=') || key.startsWith('['))
        return false;
    QByteArray header("[");
    header.append(section).append(']');
    return lastClosingBracket(header, utf8) == header.size() - 1;
}

QByteArray IniDocument::toBytes() const
{
    return m_text;
}
