#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// An INI text held as raw bytes (GBK in practice), parsed and edited with the
// rules of the Windows profile functions:
//  - only ASCII blanks (space, tab) around names and values are stripped;
//  - a value in matching double or single quotes (two characters or more,
//    after stripping) comes back without them;
//  - section and key names match case-insensitively for ASCII letters and
//    byte-exactly otherwise;
//  - the first of duplicate sections or keys wins, and a write goes to it;
//  - a line without "=" is no key; CRLF, LF and a missing final newline read;
//  - a new document is written with CRLF; a write keeps every other line.
// No I/O here.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(QByteArray text);

    // The value, or nullopt when the section or key is absent.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // Creates the section and key as needed and replaces the value. A value
    // ends at its first line break, so it can never add lines of its own.
    // Names that canStore() refuses leave the document unchanged.
    void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    // Whether a section and key can be written so that they read back: both
    // non-empty after stripping blanks, no line break or NUL, no "=" in the
    // key and no key starting with "[".
    static bool canStore(QByteArrayView section, QByteArrayView key);

    QByteArray toBytes() const;

private:
    QByteArray m_text;
};
