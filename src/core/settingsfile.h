#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <utility>

class IniDocument;
class TextCodec;

enum class DataFile { Config, Results };

// Reads or writes one key of config.a or jieguo.a in the run folder. Nothing
// is cached: every call forms the path and reads the file again.
//
// Beyond the plain profile functions:
//  - a write replaces the file atomically (temporary file, then rename), so
//    a crash mid-write never leaves a torn or empty file;
//  - every read-modify-write holds a cross-process lock file beside the data
//    file, so two running copies never lose each other's keys or wins;
//  - a write reports whether it succeeded.
class SettingsFile
{
public:
    // A value longer than this comes back cut to this length.
    static constexpr int kMaxValueLength = 10239;

    SettingsFile(QString runDir, const TextCodec &codec);

    const QString &runDir() const { return m_runDir; }
    const TextCodec &codec() const { return m_codec; }

    // run folder + "/config.a" or "/jieguo.a"
    QString path(DataFile file) const;

    // The stored value, or fallback when the key is missing or empty (empty
    // equals missing). Empty section or key names give the empty text.
    QString read(DataFile file, QStringView section, QStringView key,
                 QStringView fallback = {}) const;

    // A value ends at its first NUL, as the C strings of the profile
    // functions do, and keeps only its first line. Names IniDocument cannot
    // store (empty, "=" in a key, line breaks) make write() return false; it
    // also returns false when the folder is missing or not writable, when the
    // file cannot be read, or when the lock is not free within 10 seconds,
    // and then leaves the file as it was.
    [[nodiscard]] bool write(DataFile file, QStringView section, QStringView key,
                             QStringView value) const;

    // Locked read-modify-write of one key: change() gets the current value
    // (empty when missing) and returns the new one.
    [[nodiscard]] bool update(DataFile file, QStringView section, QStringView key,
                              const std::function<QString(const QString &)> &change) const;

    // Several keys of one section in one locked rewrite: all of them are
    // saved, or (when a name cannot be stored or the write fails) none.
    // Values are cut as write() cuts them.
    [[nodiscard]] bool writeMany(DataFile file, QStringView section,
                                 const QList<std::pair<QStringView, QString>> &entries) const;

    // Shorthands for section "zbt" of config.a, where most keys live.
    QString readZbt(QStringView key, QStringView fallback = {}) const;
    [[nodiscard]] bool writeZbt(QStringView key, QStringView value) const;

private:
    bool rewrite(DataFile file, const std::function<void(IniDocument &)> &edit) const;

    QString m_runDir;
    const TextCodec &m_codec;
};
