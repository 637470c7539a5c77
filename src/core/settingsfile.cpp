#include "settingsfile.h"

#include "filelock.h"
#include "inidocument.h"
#include "keys.h"
#include "textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

// Written to a temporary file beside the target and renamed over it, so a
// crash leaves either the old file or the new one.
bool replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
    const QString text
        = decodeValue(document.value(m_codec.encode(section), m_codec.encode(key)), m_codec);
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
    const QByteArray sectionBytes = m_codec.encode(section);
    const QByteArray keyBytes = m_codec.encode(key);
    if (!IniDocument::canStore(sectionBytes, keyBytes))
        return false;
    return rewrite(file, [&](IniDocument &document) {
        const QString next = change(decodeValue(document.value(sectionBytes, keyBytes), m_codec));
        document.setValue(sectionBytes, keyBytes, m_codec.encode(untilNul(QStringView(next))));
    });
}

bool SettingsFile::writeMany(DataFile file, QStringView section,
                             const QList<std::pair<QStringView, QString>> &entries) const
{
    const QByteArray sectionBytes = m_codec.encode(section);
    QList<std::pair<QByteArray, QByteArray>> encoded;
    for (const auto &[key, value] : entries) {
        QByteArray keyBytes = m_codec.encode(key);
        if (!IniDocument::canStore(sectionBytes, keyBytes))
            return false;
        encoded.append({std::move(keyBytes), m_codec.encode(untilNul(QStringView(value)))});
    }
    return rewrite(file, [&](IniDocument &document) {
        for (const auto &[key, value] : encoded)
            document.setValue(sectionBytes, key, value);
    });
}

// The lock, the read, the change and the atomic replace that every write
// goes through.
bool SettingsFile::rewrite(DataFile file, const std::function<void(IniDocument &)> &edit) const
{
    const QString target = path(file);
    FileLock lock(lockPath(target));
    if (!lock.lock(kLockWaitMs))
        return false;
    bool existed = false;
    const std::optional<QByteArray> old = readForRewrite(target, existed);
    if (!old)
        return false;
    IniDocument document(*old);
    edit(document);
    const QByteArray bytes = document.toBytes();
    if (existed && bytes == *old)
        return true;
    return replaceFile(target, bytes);
}

bool SettingsFile::underLock(DataFile file, const std::function<bool()> &work) const
{
    FileLock lock(lockPath(path(file)));
    return lock.lock(kLockWaitMs) && work();
}

QString SettingsFile::readZbt(QStringView key, QStringView fallback) const
{
    return read(DataFile::Config, keys::kZbt, key, fallback);
}

bool SettingsFile::writeZbt(QStringView key, QStringView value) const
{
    return write(DataFile::Config, keys::kZbt, key, value);
}
