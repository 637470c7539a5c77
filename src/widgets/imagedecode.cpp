#include "imagedecode.h"

#include "decodedcache.h"

#include <QBuffer>
#include <QImageReader>
#include <QList>
#include <QLoggingCategory>

namespace imagedecode {
namespace {

Q_LOGGING_CATEGORY(logPicture, "lunora.picture", QtInfoMsg)

struct Entry
{
    QByteArray bytes; // shared with the caller's copy; compared on lookup
    QSize size;
    QImage image;
};

// A handful of entries is enough: eight slots, the result box and the
// windows' small copies.
constexpr int kCapacity = 40;
// Absurd box sizes make large images: past this many bytes the oldest
// entries go, whatever their number (the newest always stays).
constexpr qint64 kByteBudget = qint64(256) << 20;

struct Cache
{
    QList<Entry> entries; // most recently used first
    int hits = 0;
    int misses = 0;
};

Cache &cache()
{
    static Cache c;
    return c;
}

QSize cappedSize(QSize size)
{
    return size.boundedTo(QSize(kMaxDecodeSide, kMaxDecodeSide));
}

// Smooth scaling costs about (the larger width) x (the larger height) of
// picture and box. A few bytes can declare a picture two pixels wide and
// millions of rows tall, which formats that cannot shrink while decoding
// hand over whole; smoothing it into a wide box would take many seconds.
// Such a picture is first cut down with a nearest-pixel step to twice the
// box, and the smooth step finishes from there.
constexpr qint64 kSmoothScaleBudget = qint64(64) << 20;

QImage scaledSmoothly(const QImage &image, QSize size)
{
    const qint64 work = qint64(qMax(image.width(), size.width()))
        * qMax(image.height(), size.height());
    if (work <= kSmoothScaleBudget)
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QSize between = image.size().boundedTo(size * 2);
    return image.scaled(between, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage decode(const QByteArray &bytes, QSize size)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (!full.isValid() || full.isEmpty())
        return {};
    // Let the decoder shrink while decoding (JPEG scales in the DCT), then
    // finish the exact scaling ourselves. A reader that cannot would scale
    // after decoding without the guard of scaledSmoothly().
    if (reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull()) {
        qCWarning(logPicture, "a picture of %dx%d could not be decoded (%ls): it shows nothing", full.width(),
                  full.height(), qUtf16Printable(reader.errorString()));
        return {};
    }
    if (image.size() != size)
        image = scaledSmoothly(image, size);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

QImage decodeScaled(const QByteArray &bytes, QSize size)
{
    size = cappedSize(size);
    if (bytes.isEmpty() || size.isEmpty())
        return {};
    Cache &c = cache();
    for (qsizetype i = 0; i < c.entries.size(); ++i) {
        const Entry &e = c.entries.at(i);
        if (e.size == size && e.bytes.size() == bytes.size() && e.bytes == bytes) {
            ++c.hits;
            c.entries.move(i, 0);
            return c.entries.first().image;
        }
    }
    ++c.misses;
    QImage image = decodedcache::load(bytes, size);
    if (image.isNull()) {
        image = decode(bytes, size);
        if (!image.isNull())
            decodedcache::store(bytes, size, image);
    }
    Entry e{bytes, size, image};
    c.entries.prepend(e);
    qint64 total = 0;
    for (qsizetype i = 0; i < c.entries.size(); ++i) {
        total += c.entries.at(i).image.sizeInBytes() + c.entries.at(i).bytes.size();
        if (i > 0 && (i >= kCapacity || total > kByteBudget)) {
            c.entries.resize(i);
            break;
        }
    }
    return e.image;
}

bool looksDecodable(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    return size.isValid() && !size.isEmpty();
}

void clearCache()
{
    cache() = Cache{};
}

int cacheHits() { return cache().hits; }
int cacheMisses() { return cache().misses; }

} // namespace imagedecode
