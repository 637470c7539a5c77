#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// An INI text held as raw bytes, parsed and edited with the rules of the
// Windows profile functions, so that files other tools wrote read and write
// the way they do there:
//  - a line ends at CRLF, LF or a lone CR ("\r\r\n" counts as one end);
//  - blanks around names and values are space, tab and the control
//    characters CR, VT, FF and SUB (Ctrl-Z, an old end-of-file mark);
//  - "[name]" is a section header only with its closing bracket; the name
//    runs to the last "]" of the line;
//  - a value in matching double or single quotes (two characters or more,
//    after stripping) comes back without them;
//  - section and key names match case-insensitively for ASCII letters and
//    byte-exactly otherwise;
//  - the first of duplicate sections or keys wins, and a write goes to it;
//  - a line without "=" names a key with no value: it reads as absent, and a
//    write of that key turns the line into "key=value";
//  - a text that starts with the UTF-8 byte order mark is UTF-8, and so is
//    one the caller says is (see textencoding.h); anything else is the ANSI
//    code page (GBK); the mark stays where it is;
//  - a new document is written with CRLF, new lines take the text's own
//    line end, and a write keeps every other line byte for byte.
// No I/O here.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(QByteArray text, bool utf8 = false);

    // Whether the text is UTF-8 (given so, or starting with the UTF-8 byte
    // order mark): its names and values are then UTF-8, not GBK.
    bool isUtf8() const { return m_utf8; }

    // The value, or nullopt when the section or key is absent.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // Creates the section and key as needed and replaces the value. A value
    // ends at its first line break, so it can never add lines of its own.
    // Names that canStore() refuses leave the document unchanged.
    void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    // Whether a section and key can be written so that they read back: both
    // non-empty after stripping blanks, no line break or NUL, no "=" in the
    // key, no key starting with "[", and in GBK no section ending in half a
    // character (it would take the closing "]" for its second byte).
    static bool canStore(QByteArrayView section, QByteArrayView key, bool utf8 = false);

    QByteArray toBytes() const;

private:
    // Where the names start: after the byte order mark of a UTF-8 text.
    qsizetype start() const;

    QByteArray m_text;
    bool m_utf8 = false;
};
