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
// A file that starts with the UTF-8 byte order mark is read and written as
// UTF-8 (and keeps its mark); every other file is GBK.
//
// Beyond the plain profile functions:
//  - a write replaces the file atomically (a temporary file named
//    "<file>.lunora-tmp-XXXXXX", flushed to disk, then renamed), so a crash
//    mid-write never leaves a torn or empty file, and the next write removes
//    any temporary file a killed writer left;
//  - every read-modify-write holds a cross-process lock file beside the data
//    file, so two running copies never lose each other's keys or wins;
//  - in a run folder this user may not write but whose files are writable
//    (a locked-down installation), the data file itself is locked and
//    rewritten in place, flushed to disk;
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
    // also returns false when the folder is missing, when the file cannot be
    // read or may not be written, when neither the folder nor the file lets
    // this user write, or when the lock is not free within 10 seconds, and
    // then leaves the file as it was.
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

    // Runs work() while holding the lock that every write of file takes, so
    // another copy sees what work() does as one step; writes inside work()
    // share the hold. False when the lock is not free within the write's
    // wait, else what work() returns.
    bool underLock(DataFile file, const std::function<bool()> &work) const;

    // Shorthands for section "zbt" of config.a, where most keys live.
    QString readZbt(QStringView key, QStringView fallback = {}) const;
    [[nodiscard]] bool writeZbt(QStringView key, QStringView value) const;

private:
    bool rewrite(DataFile file, const std::function<void(IniDocument &)> &edit) const;
    bool rewriteUnderOwnLock(const QString &target,
                             const std::function<void(IniDocument &)> &edit) const;
    static bool save(const QString &target, const QByteArray &bytes, bool existed);

    QString m_runDir;
    const TextCodec &m_codec;
};
