#include "inidocument.h"

#include <utility>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
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

// ASCII letters match in either case. The second byte of a GBK pair can be
// an ASCII letter ("\x81\x41" and "\x81\x61" are different characters), so
// a lead byte and the byte after it are compared exactly.
bool namesEqual(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto byte = static_cast<unsigned char>(a[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the text: [begin, end) is its content without the line end,
// next is where the following line starts.
struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

Line lineAt(const QByteArray &text, qsizetype pos)
{
    const qsizetype newline = text.indexOf('\n', pos);
    Line line{pos, newline < 0 ? text.size() : newline, newline < 0 ? text.size() : newline + 1};
    if (line.end > line.begin && text[line.end - 1] == '\r')
        --line.end;
    return line;
}

enum class LineKind { Other, Section, Entry };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QByteArrayView name;
    qsizetype afterEquals = 0; // offset within the line, entries only
};

ParsedLine parseLine(QByteArrayView line)
{
    const QByteArrayView trimmed = trimBlanks(line);
    if (trimmed.startsWith('[')) {
        // The name runs to the last "]" of the line, or to its end.
        QByteArrayView inner = trimmed.sliced(1);
        const qsizetype close = inner.lastIndexOf(']');
        if (close >= 0)
            inner = inner.first(close);
        return {LineKind::Section, trimBlanks(inner), 0};
    }
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return {};
    return {LineKind::Entry, trimBlanks(line.first(equals)), equals + 1};
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
    qsizetype afterEquals = 0;
    qsizetype sectionEnd = 0; // just past the last non-blank line of the section
};

Location locate(const QByteArray &text, QByteArrayView section, QByteArrayView key)
{
    Location loc;
    for (qsizetype pos = 0; pos < text.size();) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        const QByteArrayView content(text.constData() + line.begin, line.end - line.begin);
        const ParsedLine parsed = parseLine(content);
        if (parsed.kind == LineKind::Section) {
            if (loc.sectionFound)
                break;
            loc.sectionFound = namesEqual(parsed.name, section);
            loc.sectionEnd = line.next;
            continue;
        }
        if (!loc.sectionFound)
            continue;
        if (!trimBlanks(content).isEmpty())
            loc.sectionEnd = line.next;
        if (parsed.kind == LineKind::Entry && namesEqual(parsed.name, key)) {
            loc.keyFound = true;
            loc.keyLine = line;
            loc.afterEquals = parsed.afterEquals;
            break;
        }
    }
    return loc;
}

// The line end the text already uses; CRLF for a text without one.
QByteArray lineEndOf(const QByteArray &text)
{
    const qsizetype newline = text.indexOf('\n');
    if (newline > 0 && text[newline - 1] != '\r')
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

// What must come before new lines inserted at pos so that they start on a
// line of their own.
QByteArray lineBreakBefore(const QByteArray &text, qsizetype pos, const QByteArray &eol)
{
    if (pos == 0 || text[pos - 1] == '\n')
        return {};
    if (text[pos - 1] == '\r')
        return QByteArrayLiteral("\n");
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

IniDocument::IniDocument(QByteArray text)
    : m_text(std::move(text))
{
}

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const Location loc = locate(m_text, trimBlanks(section), trimBlanks(key));
    if (!loc.keyFound)
        return std::nullopt;
    const QByteArrayView line(m_text.constData() + loc.keyLine.begin,
                              loc.keyLine.end - loc.keyLine.begin);
    return unquote(trimBlanks(line.sliced(loc.afterEquals))).toByteArray();
}

void IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (!canStore(section, key))
        return;
    section = trimBlanks(section);
    key = trimBlanks(key);
    value = firstLineOf(value);
    const Location loc = locate(m_text, section, key);
    if (loc.keyFound) {
        // The key keeps its spelling; everything after "=" is the new value.
        const qsizetype start = loc.keyLine.begin + loc.afterEquals;
        m_text.replace(start, loc.keyLine.end - start, value.toByteArray());
        return;
    }
    const QByteArray eol = lineEndOf(m_text);
    QByteArray entry = key.toByteArray();
    entry.append('=').append(value).append(eol);
    if (loc.sectionFound) {
        const qsizetype at = loc.sectionEnd;
        m_text.insert(at, lineBreakBefore(m_text, at, eol).append(entry));
        return;
    }
    m_text.append(lineBreakBefore(m_text, m_text.size(), eol));
    m_text.append('[').append(section).append(']').append(eol).append(entry);
}

bool IniDocument::canStore(QByteArrayView section, QByteArrayView key)
{
    section = trimBlanks(section);
    key = trimBlanks(key);
    return !section.isEmpty() && !key.isEmpty() && !hasLineBreakOrNul(section)
        && !hasLineBreakOrNul(key) && !key.contains('=') && !key.startsWith('[');
}

QByteArray IniDocument::toBytes() const
{
    return m_text;
}
