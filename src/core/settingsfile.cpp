#include "settingsfile.h"

#include "durablefile.h"
#include "filelock.h"
#include "inidocument.h"
#include "keys.h"
#include "textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <utility>

namespace {

// How long a write waits for another copy of the program to finish its own.
constexpr int kLockWaitMs = 10000;

// The current bytes of a file that is about to be rewritten: empty when it
// does not exist, nullopt when it exists but cannot be read, so that an
// unreadable file is never replaced by one holding a single key.
std::optional<QByteArray> readForRewrite(const QString &path, bool &existed)
{
    existed = QFileInfo::exists(path);
    if (!existed)
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// A file that starts with the UTF-8 byte order mark holds UTF-8, as the
// platform reads and writes it; every other file is the program's GBK. The
// bytes alone are never guessed at.
class Utf8Codec final : public TextCodec
{
public:
    QByteArray encode(QStringView text) const override { return text.toUtf8(); }
    QString decode(QByteArrayView bytes) const override { return QString::fromUtf8(bytes); }
};

const TextCodec &codecOf(const IniDocument &document, const TextCodec &ansi)
{
    static const Utf8Codec utf8;
    return document.isUtf8() ? static_cast<const TextCodec &>(utf8) : ansi;
}

// The profile functions hand over C strings: a value ends at a NUL.
QByteArrayView untilNul(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.first(nul);
}

QStringView untilNul(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

QString decodeValue(const std::optional<QByteArray> &bytes, const TextCodec &codec)
{
    if (!bytes)
        return {};
    QString text = codec.decode(untilNul(*bytes));
    if (text.size() > SettingsFile::kMaxValueLength) {
        qsizetype length = SettingsFile::kMaxValueLength;
        // Never keep half of a surrogate pair.
        if (text.at(length - 1).isHighSurrogate())
            --length;
        text.truncate(length);
    }
    return text;
}

// The lock file beside a data file.
QString lockPath(const QString &target)
{
    return target + u".lock";
}

} // namespace

SettingsFile::SettingsFile(QString runDir, const TextCodec &codec)
    : m_runDir(std::move(runDir))
    , m_codec(codec)
{
}

QString SettingsFile::path(DataFile file) const
{
    return m_runDir + (file == DataFile::Config ? u"/config.a" : u"/jieguo.a");
}

QString SettingsFile::read(DataFile file, QStringView section, QStringView key,
                           QStringView fallback) const
{
    if (section.isEmpty() || key.isEmpty())
        return {};
    QFile data(path(file));
    if (!data.open(QIODevice::ReadOnly))
        return fallback.toString();
    const IniDocument document(data.readAll());
    const TextCodec &codec = codecOf(document, m_codec);
    const QString text
        = decodeValue(document.value(codec.encode(section), codec.encode(key)), codec);
    return text.isEmpty() ? fallback.toString() : text;
}

bool SettingsFile::write(DataFile file, QStringView section, QStringView key,
                         QStringView value) const
{
    const QString text = value.toString();
    return update(file, section, key, [&text](const QString &) { return text; });
}

bool SettingsFile::update(DataFile file, QStringView section, QStringView key,
                          const std::function<QString(const QString &)> &change) const
{
    if (!IniDocument::canStore(m_codec.encode(section), m_codec.encode(key)))
        return false;
    return rewrite(file, [&](IniDocument &document) {
        const TextCodec &codec = codecOf(document, m_codec);
        const QByteArray sectionBytes = codec.encode(section);
        const QByteArray keyBytes = codec.encode(key);
        const QString next = change(decodeValue(document.value(sectionBytes, keyBytes), codec));
        document.setValue(sectionBytes, keyBytes, codec.encode(untilNul(QStringView(next))));
    });
}

bool SettingsFile::writeMany(DataFile file, QStringView section,
                             const QList<std::pair<QStringView, QString>> &entries) const
{
    for (const auto &entry : entries) {
        if (!IniDocument::canStore(m_codec.encode(section), m_codec.encode(entry.first)))
            return false;
    }
    return rewrite(file, [&](IniDocument &document) {
        const TextCodec &codec = codecOf(document, m_codec);
        const QByteArray sectionBytes = codec.encode(section);
        for (const auto &[key, value] : entries) {
            document.setValue(sectionBytes, codec.encode(key),
                              codec.encode(untilNul(QStringView(value))));
        }
    });
}

// The lock, the read, the change and the save that every write goes
// through. Normally the lock is a lock file and the save an atomic replace.
// A run folder that only an administrator may write (its files left
// writable for the operator) allows neither: the data file itself is then
// locked, and rewritten in place.
bool SettingsFile::rewrite(DataFile file, const std::function<void(IniDocument &)> &edit) const
{
    const QString target = path(file);
    FileLock lock(lockPath(target));
    switch (lock.lock(kLockWaitMs)) {
    case FileLock::Result::Locked:
        break;
    case FileLock::Result::Busy:
        return false;
    case FileLock::Result::Failed:
        return rewriteUnderOwnLock(target, edit);
    }
    // A copy that may not make the lock file (another user's, in a folder
    // only this one may write) locks the data file instead; taking that too
    // keeps the two apart. Windows cannot rename over a file held open, so
    // there the lock file alone serves.
    FileLock ownLock(target, FileLock::Kind::DataFile);
#ifndef Q_OS_WIN
    if (QFileInfo::exists(target) && ownLock.lock(kLockWaitMs) == FileLock::Result::Busy)
        return false;
#endif
    durablefile::removeLeftovers(target);
    bool existed = false;
    const std::optional<QByteArray> old = readForRewrite(target, existed);
    if (!old)
        return false;
    IniDocument document(*old);
    edit(document);
    const QByteArray bytes = document.toBytes();
    if (existed && bytes == *old)
        return true;
    return save(target, bytes, existed);
}

// No lock file can be made or opened: the data file is its own lock. Rivals
// that lock it see a replace, since the name then leads to another file.
bool SettingsFile::rewriteUnderOwnLock(const QString &target,
                                       const std::function<void(IniDocument &)> &edit) const
{
    FileLock lock(target, FileLock::Kind::DataFile);
    if (lock.lock(kLockWaitMs) != FileLock::Result::Locked)
        return false;
    bool existed = false;
    const std::optional<QByteArray> old = readForRewrite(target, existed);
    if (!old || !existed)
        return false;
    IniDocument document(*old);
    edit(document);
    const QByteArray bytes = document.toBytes();
    return bytes == *old || save(target, bytes, existed);
}

// An atomic replace wherever the folder allows one, else in place.
bool SettingsFile::save(const QString &target, const QByteArray &bytes, bool existed)
{
    switch (durablefile::replace(target, bytes)) {
    case durablefile::Replaced::Done:
        return true;
    case durablefile::Replaced::NoTemporaryFile:
        return existed && durablefile::rewriteInPlace(target, bytes);
    case durablefile::Replaced::Failed:
        return false;
    }
    return false;
}

bool SettingsFile::underLock(DataFile file, const std::function<bool()> &work) const
{
    const QString target = path(file);
    FileLock lock(lockPath(target));
    switch (lock.lock(kLockWaitMs)) {
    case FileLock::Result::Locked:
        return work();
    case FileLock::Result::Busy:
        return false;
    case FileLock::Result::Failed:
        break;
    }
    // No lock file can be made: the data file is its own lock, as in rewrite(),
    // whose own hold then joins this one.
    FileLock own(target, FileLock::Kind::DataFile);
    return own.lock(kLockWaitMs) == FileLock::Result::Locked && work();
}

QString SettingsFile::readZbt(QStringView key, QStringView fallback) const
{
    return read(DataFile::Config, keys::kZbt, key, fallback);
}

bool SettingsFile::writeZbt(QStringView key, QStringView value) const
{
    return write(DataFile::Config, keys::kZbt, key, value);
}
