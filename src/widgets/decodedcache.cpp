#include "decodedcache.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <cstring>

namespace decodedcache {
namespace {

constexpr char kMagic[8] = {'L', 'N', 'R', 'I', 'M', 'G', '1', '\0'};
constexpr qint64 kHeader = 16; // magic, width, height (32 bits each)

struct State
{
    QString folder;
    bool pruned = false; // once a run, at the first store
};

State &state()
{
    static State s;
    return s;
}

QString entryPath(const QByteArray &bytes, QSize size)
{
    // Two seeds: a 128-bit name, so two pictures never share one by chance.
    const size_t first = qHash(bytes, size_t(0x4c756e6f7261));
    const size_t second = qHash(bytes, size_t(0x5069637475726573));
    return QStringLiteral("%1/%2%3-%4-%5x%6.argb")
        .arg(state().folder)
        .arg(quint64(first), 16, 16, QLatin1Char('0'))
        .arg(quint64(second), 16, 16, QLatin1Char('0'))
        .arg(bytes.size())
        .arg(size.width())
        .arg(size.height());
}

// Removes the oldest entries beyond the budget.
void prune()
{
    const QFileInfoList entries =
        QDir(state().folder).entryInfoList({QStringLiteral("*.argb")}, QDir::Files, QDir::Time);
    qint64 total = 0;
    for (const QFileInfo &entry : entries) {
        total += entry.size();
        if (total > kByteBudget)
            static_cast<void>(QFile::remove(entry.filePath())); // gone or not, only space is at stake
    }
}

} // namespace

void setFolder(const QString &folder)
{
    state() = State{folder, false};
}

QString folder()
{
    return state().folder;
}

QImage load(const QByteArray &bytes, QSize size)
{
    if (state().folder.isEmpty() || size.isEmpty())
        return {};
    QFile file(entryPath(bytes, size));
    const qint64 pixels = qint64(size.width()) * size.height() * 4;
    if (!file.open(QIODevice::ReadOnly) || file.size() != kHeader + pixels)
        return {};
    const QByteArray header = file.read(kHeader);
    qint32 width = 0;
    qint32 height = 0;
    std::memcpy(&width, header.constData() + 8, 4);
    std::memcpy(&height, header.constData() + 12, 4);
    if (header.size() != kHeader || std::memcmp(header.constData(), kMagic, 8) != 0 || width != size.width()
        || height != size.height())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() || file.read(reinterpret_cast<char *>(image.bits()), pixels) != pixels)
        return {};
    return image;
}

void store(const QByteArray &bytes, QSize size, const QImage &image)
{
    if (state().folder.isEmpty() || image.size() != size || image.format() != QImage::Format_ARGB32_Premultiplied
        || !QDir().mkpath(state().folder))
        return;
    QSaveFile file(entryPath(bytes, size));
    const qint32 dimensions[2] = {size.width(), size.height()};
    const qint64 pixels = qint64(size.width()) * size.height() * 4;
    // Scan lines of 32-bit pixels have no padding: the bits are one block.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(kMagic, 8) == 8
        && file.write(reinterpret_cast<const char *>(dimensions), 8) == 8
        && file.write(reinterpret_cast<const char *>(image.constBits()), pixels) == pixels && file.commit();
    if (written && !state().pruned) {
        state().pruned = true;
        prune();
    }
}

} // namespace decodedcache
