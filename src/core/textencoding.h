#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class TextCodec;

// Which texts the data files can hold, and in which encoding a file was
// written.
namespace textencoding {

// The characters of text the codec cannot hold (each once, in the order
// they first appear), or the empty text when it holds all of them. A
// character counts only if it comes back unchanged, so no system's
// substitute ("?", a look-alike) passes for it.
QString unstorable(const TextCodec &codec, QStringView text);

// text with each character the codec cannot hold replaced by "?", so that
// every system stores the same bytes for it.
QString storable(const TextCodec &codec, QStringView text);

// Whether config.a's or jieguo.a's bytes are UTF-8 rather than the
// program's GBK: with the UTF-8 byte order mark, or as valid UTF-8 in which
// some of the program's own keys are found only when read as UTF-8 (an
// editor saved the file so). Plain ASCII is the same either way: GBK.
bool readsAsUtf8(const QByteArray &bytes, const TextCodec &ansi);

// The text of bytes read as UTF-8, without its byte order mark.
QString utf8Text(const QByteArray &bytes);

} // namespace textencoding
