#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

class IniDocument;
class TextCodec;

enum class DataFile { Config, Results };

// Reads or writes one key of config.a or jieguo.a in the run folder. Every
// call forms the path and reads the file again.
//
// The files are GBK. One an editor saved as UTF-8 (with the byte order mark,
// or without it when the program's keys are found only so) is read as
// UTF-8; its first write stores it back in GBK, with a copy of the original
// beside it ("<file>.utf8"), and tells the converted handler. Where no copy
// can be made it stays UTF-8.
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
//  - a file that is a symbolic link is written through to the file it leads
//    to; the temporary file and the lock go beside that file, so two links
//    to one file share one lock;
//  - while another program holds the file (on Windows a virus scanner, the
//    indexer, a backup, a spreadsheet), a read or a write tries again until
//    its wait (setWait) runs out; a change that still cannot be stored then
//    waits in memory, in order, and is stored with the next write of that
//    file or the next flush(). Reads see the changes that wait, and a read
//    that still finds the file held sees it as this run last read or saved
//    it (the one time anything of a file is kept);
//  - a write reports whether it was stored, waits, or was refused;
//  - a worker thread may store what waits (flush()) while the window's
//    thread reads and writes: while a change of a file waits, reads see the
//    file as this run last read or saved it with the changes that wait,
//    without touching the file, and a write finding another thread storing
//    that file leaves its change to wait behind the others.
class SettingsFile
{
public:
    // A value longer than this comes back cut to this length.
    static constexpr int kMaxValueLength = 10239;
    // How long a read or write waits for a held file or another copy's
    // lock, unless setWait says otherwise.
    static constexpr int kDefaultWaitMs = 10000;

    enum class Saved {
        Stored,
        // Another program holds the file: the change waits in memory.
        Pending,
        // The file or folder refuses it (read-only, unreadable, a name that
        // cannot be stored); nothing changed.
        Refused,
    };

    // One change of a file's document: apply() makes it and returns the
    // text it stored; stored() gets that text once the change is on the
    // disk; lost() runs when a change that waited is refused after all.
    struct Change
    {
        std::function<QString(IniDocument &)> apply;
        std::function<void(const QString &)> stored;
        std::function<void()> lost;
        // The section and key of each value it sets, to name what waits.
        QList<std::pair<QString, QString>> keys;
    };

    // A file that was UTF-8 and is now stored in GBK: where the original
    // went, and the characters GBK cannot hold (each stored as "?").
    struct Converted
    {
        DataFile file = DataFile::Config;
        QString copyPath;
        QString unstorable;
    };

    SettingsFile(QString runDir, const TextCodec &codec);

    const QString &runDir() const { return m_runDir; }
    const TextCodec &codec() const { return m_codec; }

    // run folder + "/config.a" or "/jieguo.a"
    QString path(DataFile file) const;
    // The file a write stores: path(), or where its symbolic links lead.
    QString storedPath(DataFile file) const;

    // How long reads and writes may hold the caller: the window's thread
    // gives them 0, one try and no pause, so that a held file never stalls
    // a roll; its worker retries (flush()).
    void setWait(int ms);
    int wait() const;

    // The stored value, or fallback when the key is missing or empty (empty
    // equals missing). Empty section or key names give the empty text.
    QString read(DataFile file, QStringView section, QStringView key,
                 QStringView fallback = {}) const;

    // A value ends at its first NUL, as the C strings of the profile
    // functions do, and keeps only its first line. Names IniDocument cannot
    // store (empty, "=" in a key, line breaks) make write() return false; it
    // also returns false when the folder is missing, when the file cannot be
    // read or may not be written, or when neither the folder nor the file
    // lets this user write, and then leaves the file as it was. True when
    // the value is stored or waits to be (the file held, see commit()).
    [[nodiscard]] bool write(DataFile file, QStringView section, QStringView key,
                             QStringView value);

    // Locked read-modify-write of one key: change() gets the current value
    // (empty when missing) and returns the new one. It may run again later,
    // on the file as it is then, if the change has to wait: it must hold no
    // reference to the caller's variables.
    [[nodiscard]] bool update(DataFile file, QStringView section, QStringView key,
                              const std::function<QString(const QString &)> &change);

    // Several keys of one section in one locked rewrite: all of them are
    // saved, or (when a name cannot be stored or the write fails) none.
    // Values are cut as write() cuts them.
    [[nodiscard]] bool writeMany(DataFile file, QStringView section,
                                 const QList<std::pair<QStringView, QString>> &entries);

    // The lock, the read, every change that waits and then change, and the
    // save: one step for other copies. Pending when the file is held past
    // the wait; change then waits behind the others.
    Saved commit(DataFile file, Change change);
    // commit() of update()'s change of one key, with the Change's
    // callbacks.
    Saved commitKey(DataFile file, QStringView section, QStringView key,
                    const std::function<QString(const QString &)> &change,
                    std::function<void(const QString &)> stored = {},
                    std::function<void()> lost = {});
    // commitKey() without a try: the change waits behind the others for the
    // next flush() (the worker's), which tells its callbacks. Pending, or
    // Refused when its names cannot be stored.
    Saved postKey(DataFile file, QStringView section, QStringView key,
                  const std::function<QString(const QString &)> &change,
                  std::function<void(const QString &)> stored, std::function<void()> lost);
    // commit() of writeMany()'s change, with the Change's stored callback
    // (given the empty text).
    Saved commitMany(DataFile file, QStringView section,
                     const QList<std::pair<QStringView, QString>> &entries,
                     std::function<void(const QString &)> stored = {});
    // update()'s change of one key, stored now or not at all: nothing is
    // left waiting. Changes that already wait are stored first; when they
    // cannot be, nothing is tried. Once the file holds the change, and
    // still under its lock, then() gets the new value; when it returns
    // false the file is put back as it was. Stored: the change is on the
    // disk (then() agreed, or the file could not be put back). Pending: the
    // file was held, nothing changed. Refused: the file refused the change,
    // or was put back.
    Saved commitKeyNow(DataFile file, QStringView section, QStringView key,
                       const std::function<QString(const QString &)> &change,
                       const std::function<bool(const QString &)> &then);
    // Tries to store the changes that wait, holding the caller at most
    // waitMs (and while another thread stores the file): Stored when none
    // waits any more. The changes' callbacks run on the caller's thread.
    Saved flush(DataFile file, int waitMs);
    int pendingCount(DataFile file) const;
    // What the changes that wait would store: "key=value" for each key they
    // set, in the order first set, with the value it would end with.
    QStringList pendingEntries(DataFile file) const;

    // Called inside the write that converted a file: it must only take note
    // (or post a message), never read or write the files itself.
    void setConvertedHandler(std::function<void(const Converted &)> handler);

    // read() and write() of a key in config.a's section of settings (all
    // but the title fonts' keys live there). Only Config names those keys.
    QString readSetting(QStringView key, QStringView fallback = {}) const;
    [[nodiscard]] bool writeSetting(QStringView key, QStringView value);

private:
    struct Shared
    {
        std::atomic<int> waitMs = kDefaultWaitMs;
        // Guards what follows; held for a read (one look at the file), never
        // while a file is written or a thread pauses between tries.
        std::mutex mutex;
        std::array<QList<Change>, 2> waiting;
        // After a read gave up on a held file, the reads of the next second
        // try once each: a draw reads a file 17 times in a row.
        std::array<qint64, 2> onceUntil{};
        // The bytes this run last read from or saved to each file: what a
        // read sees while another program holds the file past the wait, or
        // while changes wait. Read as missing, the counts would be 0 and, by
        // quantity, won prizes would go back into the box.
        std::array<std::optional<QByteArray>, 2> lastSeen;
        std::function<void(const Converted &)> converted;
        // Held by the thread that stores a file, from its read to the
        // changes' callbacks.
        std::array<std::mutex, 2> storing;
    };
    // The file's bytes now (empty when it does not exist), or as last seen
    // while it is held or changes wait; nothing when it cannot be read.
    // The caller holds the mutex.
    std::optional<QByteArray> readBytes(DataFile file) const;
    QList<Change> &waiting(DataFile file) { return m_shared->waiting[int(file)]; }
    const QList<Change> &waiting(DataFile file) const { return m_shared->waiting[int(file)]; }
    std::optional<Change> keyChange(QStringView section, QStringView key,
                                    const std::function<QString(const QString &)> &change,
                                    std::function<void(const QString &)> stored,
                                    std::function<void()> lost) const;
    std::function<QString(IniDocument &)> keyEdit(QStringView section, QStringView key,
                                                  const std::function<QString(const QString &)> &change) const;
    Saved commitNow(DataFile file, const std::function<QString(IniDocument &)> &apply,
                    const std::function<bool(const QString &)> &then);
    void setLastSeen(DataFile file, const QByteArray &bytes);
    // The one transaction every write goes through (see FileTransaction);
    // the caller holds the file's storing lock.
    Saved store(DataFile file, qint64 deadline, QList<Change> &dropped);
    // The document a write changes: the file's bytes, or a UTF-8 file
    // turned into GBK once its copy is stored (converted then says so).
    IniDocument documentToWrite(DataFile file, const QByteArray &bytes, qint64 deadline,
                                std::optional<Converted> &converted) const;
    qint64 deadlineFromNow(int ms) const;

    QString m_runDir;
    const TextCodec &m_codec;
    // Copies of a SettingsFile share what waits and the wait.
    std::shared_ptr<Shared> m_shared;
};
