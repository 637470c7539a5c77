// Fuzzes the INI reader and writer: any document, any names, any value.
//
// Input: three length bytes, then the section, key and value bytes of those
// lengths, then the document text (whatever is left).
//
// Invariants checked on every input (GBK text, or UTF-8 after a byte order
// mark; CRLF, LF or lone CR line ends):
//  - lookups never crash, whatever the text;
//  - after setValue the key reads back as the value would be read from a
//    file: first line only, blanks and trailing control characters
//    stripped, matching quotes removed;
//  - names canStore() refuses leave the document byte for byte unchanged;
//  - every other section and key named anywhere in the text keeps its value;
//  - writing the same value again changes nothing;
//  - the text re-parsed from its bytes answers the same.
#include "core/inidocument.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Space, tab and the control characters the profile functions strip.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

QByteArray trimmed(QByteArrayView v)
{
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b).toByteArray();
}

// What a file line holding `value` after "=" reads back as.
QByteArray readBack(QByteArrayView value)
{
    qsizetype end = 0;
    while (end < value.size() && value[end] != '\r' && value[end] != '\n')
        ++end;
    QByteArray v = trimmed(value.first(end));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

QByteArray folded(QByteArrayView v)
{
    QByteArray out = trimmed(v);
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

// Candidate names taken crudely from the text: whatever stands in brackets,
// whatever stands before an "=", and lines without one (keys without a
// value, or headers without their "]"). The parser's own answers for them
// are compared before and after a write, so the crude cut cannot cause a
// false alarm; it only decides which names get asked about.
void harvestNames(QByteArray text, QList<QByteArray> &sections, QList<QByteArray> &keys)
{
    text.replace('\r', '\n');
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray t = trimmed(line);
        const qsizetype close = t.lastIndexOf(']');
        if (t.startsWith('[') && close > 0 && sections.size() < 12)
            sections.append(t.mid(1, close - 1));
        else if (const qsizetype eq = line.indexOf('='); eq >= 0 && keys.size() < 12)
            keys.append(line.first(eq));
        else if (!t.isEmpty() && keys.size() < 12)
            keys.append(t);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    qsizetype pos = 3;
    auto take = [&](int length) {
        const qsizetype n = qMin<qsizetype>(length, input.size() - pos);
        const QByteArrayView part = input.sliced(pos, n);
        pos += n;
        return part;
    };
    const QByteArrayView section = take(quint8(input[0]) % 32);
    const QByteArrayView key = take(quint8(input[1]) % 32);
    const QByteArrayView value = take(quint8(input[2]));
    const QByteArray text = input.sliced(pos).toByteArray();

    const IniDocument before(text);
    QList<QByteArray> sections { section.toByteArray() };
    QList<QByteArray> keys { key.toByteArray() };
    harvestNames(text, sections, keys);
    QList<std::optional<QByteArray>> old;
    for (const QByteArray &s : sections) {
        for (const QByteArray &k : keys)
            old.append(before.value(s, k));
    }

    IniDocument after(text);
    after.setValue(section, key, value);
    const QByteArray written = after.toBytes();
    if (!IniDocument::canStore(section, key, before.isUtf8())) {
        check(written == text);
        return 0;
    }
    const IniDocument reparsed(written);
    check(reparsed.value(section, key) == readBack(value));

    const QByteArray sectionName = folded(section);
    const QByteArray keyName = folded(key);
    qsizetype i = 0;
    for (const QByteArray &s : sections) {
        for (const QByteArray &k : keys) {
            const bool sameKey = folded(s) == sectionName && folded(k) == keyName;
            if (!sameKey)
                check(reparsed.value(s, k) == old.at(i));
            ++i;
        }
    }

    after.setValue(section, key, value);
    check(after.toBytes() == written);
    return 0;
}
