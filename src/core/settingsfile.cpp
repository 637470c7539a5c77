#include "settingsfile.h"

#include "filesystem.h"
#include "inidocument.h"
#include "keys.h"
#include "textcodec.h"
#include "textencoding.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <array>
#include <atomic>
#include <optional>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(logStart, "lunora.start", QtInfoMsg)

// A file an editor saved as UTF-8 is read as UTF-8 (see textencoding.h);
// every other file is the program's GBK.
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

} // namespace

SettingsFile::SettingsFile(QString runDir, const TextCodec &codec)
    : m_runDir(std::move(runDir))
    , m_codec(codec)
    , m_shared(std::make_shared<Shared>())
{
}

QString SettingsFile::path(DataFile file) const
{
    return m_runDir + (file == DataFile::Config ? u"/config.a" : u"/jieguo.a");
}

// A file held past the wait reads as this run last saw it (as missing when
// it has not seen it yet); the changes that wait to be stored are seen as
// if they were.
QString SettingsFile::read(DataFile file, QStringView section, QStringView key,
                           QStringView fallback) const
{
    if (section.isEmpty() || key.isEmpty())
        return {};
    const std::lock_guard guard(m_shared->mutex);
    const std::optional<QByteArray> bytes = readBytes(file);
    if (!bytes)
        return fallback.toString();
    IniDocument document(*bytes, textencoding::readsAsUtf8(*bytes, m_codec));
    for (const Change &change : waiting(file))
        change.apply(document);
    const TextCodec &codec = codecOf(document, m_codec);
    const QString text
        = decodeValue(document.value(codec.encode(section), codec.encode(key)), codec);
    return text.isEmpty() ? fallback.toString() : text;
}

// Made on the file as this run last saw it: the file itself is held.
QStringList SettingsFile::pendingEntries(DataFile file) const
{
    const std::lock_guard guard(m_shared->mutex);
    IniDocument document(m_shared->lastSeen[int(file)].value_or(QByteArray()));
    QList<std::pair<QString, QString>> keys;
    for (const Change &change : waiting(file)) {
        change.apply(document);
        for (const auto &key : change.keys) {
            if (!keys.contains(key))
                keys.append(key);
        }
    }
    const TextCodec &codec = codecOf(document, m_codec);
    QStringList entries;
    for (const auto &[section, key] : std::as_const(keys)) {
        const auto value = document.value(codec.encode(section), codec.encode(key));
        entries.append(key + u'=' + decodeValue(value, codec));
    }
    return entries;
}

// While changes wait, the file is not looked at: a worker may have just
// stored them in it, and they would count twice. What this run last saw of
// it is then the file as it was before them (see store()).
std::optional<QByteArray> SettingsFile::readBytes(DataFile file) const
{
    std::optional<QByteArray> &lastSeen = m_shared->lastSeen[int(file)];
    if (!waiting(file).isEmpty() && lastSeen)
        return lastSeen;
    const FileSystem &files = FileSystem::current();
    qint64 &onceUntil = m_shared->onceUntil[int(file)];
    const bool once = files.milliseconds() < onceUntil;
    QFile data;
    const FileSystem::Outcome opened = files.retry(deadlineFromNow(once ? 0 : wait()), [&] {
        return files.open(data, path(file), QIODevice::ReadOnly);
    });
    if (opened == FileSystem::Outcome::Busy && !once)
        onceUntil = files.milliseconds() + 1000;
    if (opened == FileSystem::Outcome::Busy)
        return lastSeen;
    if (opened != FileSystem::Outcome::Done && opened != FileSystem::Outcome::Missing) {
        static std::array<std::atomic<bool>, 2> told; // once a run for each file
        if (!told[int(file)].exchange(true))
            qCWarning(logStart, "%ls cannot be read (%ls): its values read as their defaults",
                      qUtf16Printable(QFileInfo(path(file)).fileName()), qUtf16Printable(data.errorString()));
        return std::nullopt;
    }
    lastSeen = data.isOpen() ? data.readAll() : QByteArray();
    return lastSeen;
}

bool SettingsFile::write(DataFile file, QStringView section, QStringView key,
                         QStringView value)
{
    return update(file, section, key, [text = value.toString()](const QString &) { return text; });
}

bool SettingsFile::update(DataFile file, QStringView section, QStringView key,
                          const std::function<QString(const QString &)> &change)
{
    return commitKey(file, section, key, change) != Saved::Refused;
}

std::optional<SettingsFile::Change> SettingsFile::keyChange(
    QStringView section, QStringView key, const std::function<QString(const QString &)> &change,
    std::function<void(const QString &)> stored, std::function<void()> lost) const
{
    if (!IniDocument::canStore(m_codec.encode(section), m_codec.encode(key)))
        return std::nullopt;
    Change edit;
    edit.apply = keyEdit(section, key, change);
    edit.stored = std::move(stored);
    edit.lost = std::move(lost);
    edit.keys = {{section.toString(), key.toString()}};
    return edit;
}

SettingsFile::Saved SettingsFile::commitKey(DataFile file, QStringView section, QStringView key,
                                            const std::function<QString(const QString &)> &change,
                                            std::function<void(const QString &)> stored,
                                            std::function<void()> lost)
{
    std::optional<Change> edit = keyChange(section, key, change, std::move(stored), std::move(lost));
    return edit ? commit(file, std::move(*edit)) : Saved::Refused;
}

SettingsFile::Saved SettingsFile::postKey(DataFile file, QStringView section, QStringView key,
                                          const std::function<QString(const QString &)> &change,
                                          std::function<void(const QString &)> stored,
                                          std::function<void()> lost)
{
    std::optional<Change> edit = keyChange(section, key, change, std::move(stored), std::move(lost));
    if (!edit)
        return Saved::Refused;
    const std::lock_guard guard(m_shared->mutex);
    waiting(file).append(std::move(*edit));
    return Saved::Pending;
}

SettingsFile::Saved SettingsFile::commitKeyNow(DataFile file, QStringView section, QStringView key,
                                               const std::function<QString(const QString &)> &change,
                                               const std::function<bool(const QString &)> &then)
{
    if (!IniDocument::canStore(m_codec.encode(section), m_codec.encode(key)))
        return Saved::Refused;
    return commitNow(file, keyEdit(section, key, change), then);
}

std::function<QString(IniDocument &)> SettingsFile::keyEdit(
    QStringView section, QStringView key, const std::function<QString(const QString &)> &change) const
{
    return [ansi = &m_codec, section = section.toString(), key = key.toString(), change](IniDocument &document) {
        const TextCodec &codec = codecOf(document, *ansi);
        const QByteArray sectionBytes = codec.encode(section);
        const QByteArray keyBytes = codec.encode(key);
        const QString next = change(decodeValue(document.value(sectionBytes, keyBytes), codec));
        document.setValue(sectionBytes, keyBytes, codec.encode(untilNul(QStringView(next))));
        return next;
    };
}

bool SettingsFile::writeMany(DataFile file, QStringView section,
                             const QList<std::pair<QStringView, QString>> &entries)
{
    return commitMany(file, section, entries) != Saved::Refused;
}

SettingsFile::Saved SettingsFile::commitMany(DataFile file, QStringView section,
                                             const QList<std::pair<QStringView, QString>> &entries,
                                             std::function<void(const QString &)> stored)
{
    QList<std::pair<QString, QString>> owned;
    for (const auto &[key, value] : entries) {
        if (!IniDocument::canStore(m_codec.encode(section), m_codec.encode(key)))
            return Saved::Refused;
        owned.append({key.toString(), value});
    }
    Change edit;
    edit.apply = [ansi = &m_codec, section = section.toString(), owned](IniDocument &document) {
        const TextCodec &codec = codecOf(document, *ansi);
        const QByteArray sectionBytes = codec.encode(section);
        for (const auto &[key, value] : owned) {
            document.setValue(sectionBytes, codec.encode(key),
                              codec.encode(untilNul(QStringView(value))));
        }
        return QString();
    };
    edit.stored = std::move(stored);
    for (const auto &entry : std::as_const(owned))
        edit.keys.append({section.toString(), entry.first});
    return commit(file, std::move(edit));
}

QString SettingsFile::readSetting(QStringView key, QStringView fallback) const
{
    return read(DataFile::Config, keys::kZbt, key, fallback);
}

bool SettingsFile::writeSetting(QStringView key, QStringView value)
{
    return write(DataFile::Config, keys::kZbt, key, value);
}
