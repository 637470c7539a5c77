#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Decodes picture bytes at the size they will be shown, and remembers the
// last results: the roll reloads the same files many times a second, and
// equal bytes must not be decoded again. Results are also kept on disk
// from one run to the next where decodedcache has a folder.
namespace imagedecode {

// Largest side a picture is decoded at; a larger box scales the result up
// while painting, so an absurd box size never allocates an absurd image.
inline constexpr int kMaxDecodeSide = 4096;

// The picture scaled to `size` (aspect ignored), or a null image when the
// bytes are empty or do not decode.
QImage decodeScaled(const QByteArray &bytes, QSize size);

// Whether the bytes start as a picture that decodes: only its header is
// read. A picture file that does not is named in the log where it is loaded
// (the log's lunora.picture); one whose header reads but whose picture does
// not decode is logged here, by its size.
bool looksDecodable(const QByteArray &bytes);

// Drops every cached image (tests and benchmarks).
void clearCache();
int cacheHits();
int cacheMisses();

} // namespace imagedecode
