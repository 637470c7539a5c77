#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Scaled pictures kept on disk from one run to the next. A 12-megapixel
// photograph costs about 20 ms of CPU to decode even at an eighth of its
// size (every byte of a JPEG's entropy-coded data must be read), so eight
// of them and a background cost a quarter of a second at each start. Kept
// here at the size they were shown at, they read back in well under a
// millisecond each (a full-screen background in a few). Found by the
// picture's bytes (two 64-bit hashes and the length) and the size, so a
// changed picture is decoded again; a damaged entry is ignored and
// replaced. The folder holds at most kByteBudget; the oldest entries go.
namespace decodedcache {

inline constexpr qint64 kByteBudget = qint64(96) << 20;

// Where entries are kept; empty (the default) keeps none.
void setFolder(const QString &folder);
QString folder();

// The stored picture for these bytes at this size; null when none is.
QImage load(const QByteArray &bytes, QSize size);

// Keeps the picture (best effort: a cache that cannot be written only
// costs the next start its time).
void store(const QByteArray &bytes, QSize size, const QImage &image);

} // namespace decodedcache
