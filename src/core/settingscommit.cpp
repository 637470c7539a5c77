// SettingsFile's write path: the lock, the read, the changes and the save,
// and the changes that wait while another program holds the file.
#include "settingsfile.h"

#include "filesystem.h"
#include "durablefile.h"
#include "filetransaction.h"
#include "inidocument.h"
#include "textcodec.h"
#include "textencoding.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <utility>

namespace {

// Where a chain of symbolic links ends (a loop stops after 40 of them, as
// the system's own lookup does).
QString followLinks(const QString &path)
{
    QString current = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymbolicLink())
            return current;
        current = info.symLinkTarget();
    }
    return current;
}

Q_LOGGING_CATEGORY(logSave, "lunora.save", QtInfoMsg)

QString nameOf(DataFile file)
{
    return file == DataFile::Config ? QStringLiteral("config.a") : QStringLiteral("jieguo.a");
}

// A write that meets a held file is logged when its change begins to wait,
// and then how the changes that waited end; a refused write every time.
void logOutcome(DataFile file, qsizetype changes, SettingsFile::Saved saved)
{
    const QString name = nameOf(file);
    switch (saved) {
    case SettingsFile::Saved::Pending:
        qCInfo(logSave, "%ls is held by another program: %lld change(s) wait and are tried again",
               qUtf16Printable(name), qlonglong(changes));
        break;
    case SettingsFile::Saved::Refused:
        qCWarning(logSave, "%ls refused a write of %lld change(s): they are not stored",
                  qUtf16Printable(name), qlonglong(changes));
        break;
    case SettingsFile::Saved::Stored:
        qCInfo(logSave, "%ls took %lld change(s) after a wait", qUtf16Printable(name), qlonglong(changes));
        break;
    }
}

} // namespace

QString SettingsFile::storedPath(DataFile file) const
{
    return followLinks(path(file));
}

void SettingsFile::setWait(int ms)
{
    m_shared->waitMs = ms;
}

int SettingsFile::wait() const
{
    return m_shared->waitMs;
}

qint64 SettingsFile::deadlineFromNow(int ms) const
{
    return FileSystem::current().milliseconds() + ms;
}

int SettingsFile::pendingCount(DataFile file) const
{
    const std::lock_guard guard(m_shared->mutex);
    return int(waiting(file).size());
}

namespace {

void tellLost(const QList<SettingsFile::Change> &dropped)
{
    for (const SettingsFile::Change &lost : dropped) {
        if (lost.lost)
            lost.lost();
    }
}

} // namespace

// While another thread stores this file (the worker, retrying for a held
// file), the change waits behind the ones it stores and is stored next.
SettingsFile::Saved SettingsFile::commit(DataFile file, Change change)
{
    std::unique_lock storing(m_shared->storing[int(file)], std::try_to_lock);
    qsizetype waited = 0;
    {
        const std::lock_guard guard(m_shared->mutex);
        waited = waiting(file).size();
        waiting(file).append(std::move(change));
    }
    if (!storing.owns_lock())
        return Saved::Pending;
    QList<Change> dropped;
    const Saved saved = store(file, deadlineFromNow(wait()), dropped);
    storing.unlock();
    if (saved != Saved::Stored || waited > 0)
        logOutcome(file, waited + 1, saved);
    // The caller hears of its own change from the result; those that waited
    // before it are told here. Only the window's thread commits, so its
    // change is the last.
    if (!dropped.isEmpty())
        dropped.removeLast();
    tellLost(dropped);
    return saved;
}

SettingsFile::Saved SettingsFile::flush(DataFile file, int waitMs)
{
    std::unique_lock storing(m_shared->storing[int(file)]);
    const qsizetype waited = pendingCount(file);
    QList<Change> dropped;
    const Saved saved = store(file, deadlineFromNow(waitMs), dropped);
    storing.unlock();
    if (saved != Saved::Pending && waited > 0) // still held: said when it began to wait
        logOutcome(file, waited, saved);
    tellLost(dropped);
    return saved;
}

// Every change that waits is made on the file as it is now, in order, and
// saved in one replace: all of them are stored, or none. The changes hear
// that they were stored while the transaction still holds the lock, so a
// win's history line is written under the lock that counted it. Changes
// another thread adds meanwhile wait for the next store. What this run saw
// of the file moves with it: the file as read, then as saved, each time
// together with the changes it still lacks (see readBytes()).
SettingsFile::Saved SettingsFile::store(DataFile file, qint64 deadline, QList<Change> &dropped)
{
    QList<Change> changes;
    {
        const std::lock_guard guard(m_shared->mutex);
        changes = waiting(file);
    }
    if (changes.isEmpty())
        return Saved::Stored;
    FileTransaction transaction(storedPath(file), deadline);
    QStringList texts;
    QByteArray bytes;
    FileTransaction::Step step = transaction.begin();
    if (step == FileTransaction::Step::Done) {
        {
            const std::lock_guard guard(m_shared->mutex);
            m_shared->lastSeen[int(file)] = transaction.bytes();
        }
        std::optional<Converted> converted;
        IniDocument document = documentToWrite(file, transaction.bytes(), deadline, converted);
        for (const Change &change : std::as_const(changes))
            texts.append(change.apply(document));
        bytes = document.toBytes();
        step = transaction.save(bytes);
        if (step == FileTransaction::Step::Done && converted)
            qCInfo(logSave, "%ls was UTF-8 and is stored in GBK again; its original is kept as %ls",
                   qUtf16Printable(nameOf(file)), qUtf16Printable(QFileInfo(converted->copyPath).fileName()));
        if (step == FileTransaction::Step::Done && converted && m_shared->converted)
            m_shared->converted(*converted);
    }
    if (step == FileTransaction::Step::Busy)
        return Saved::Pending;
    {
        const std::lock_guard guard(m_shared->mutex);
        waiting(file).remove(0, changes.size());
        if (step == FileTransaction::Step::Done)
            m_shared->lastSeen[int(file)] = bytes;
    }
    if (step == FileTransaction::Step::Refused) {
        dropped = std::move(changes);
        return Saved::Refused;
    }
    for (qsizetype i = 0; i < changes.size(); ++i) {
        if (changes[i].stored)
            changes[i].stored(texts.value(i));
    }
    return Saved::Stored;
}

// The storing lock is only tried: while the worker stores this file the
// change is not made, and the caller may ask again.
SettingsFile::Saved SettingsFile::commitNow(DataFile file,
                                            const std::function<QString(IniDocument &)> &apply,
                                            const std::function<bool(const QString &)> &then)
{
    std::unique_lock storing(m_shared->storing[int(file)], std::try_to_lock);
    if (!storing.owns_lock())
        return Saved::Pending;
    QList<Change> dropped;
    const Saved earlier = store(file, deadlineFromNow(wait()), dropped);
    tellLost(dropped);
    if (earlier != Saved::Stored)
        return earlier;
    FileTransaction transaction(storedPath(file), deadlineFromNow(wait()));
    FileTransaction::Step step = transaction.begin();
    if (step != FileTransaction::Step::Done)
        return step == FileTransaction::Step::Busy ? Saved::Pending : Saved::Refused;
    const QByteArray before = transaction.bytes();
    IniDocument document(before);
    const QString text = apply(document);
    const QByteArray bytes = document.toBytes();
    step = transaction.save(bytes);
    if (step != FileTransaction::Step::Done)
        return step == FileTransaction::Step::Busy ? Saved::Pending : Saved::Refused;
    setLastSeen(file, bytes);
    if (then(text))
        return Saved::Stored;
    if (transaction.save(before) != FileTransaction::Step::Done)
        return Saved::Stored;
    setLastSeen(file, before);
    return Saved::Refused;
}

void SettingsFile::setLastSeen(DataFile file, const QByteArray &bytes)
{
    const std::lock_guard guard(m_shared->mutex);
    m_shared->lastSeen[int(file)] = bytes;
}

void SettingsFile::setConvertedHandler(std::function<void(const Converted &)> handler)
{
    m_shared->converted = std::move(handler);
}

// Every version of the program reads GBK, so a UTF-8 file goes back to it at
// its first write. The original is copied first: without the copy the file
// stays UTF-8 rather than lose what GBK cannot hold.
IniDocument SettingsFile::documentToWrite(DataFile file, const QByteArray &bytes, qint64 deadline,
                                          std::optional<Converted> &converted) const
{
    if (!textencoding::readsAsUtf8(bytes, m_codec))
        return IniDocument(bytes);
    const QString copy = storedPath(file) + QStringLiteral(".utf8");
    if (durablefile::replace(copy, bytes, deadline) != durablefile::Replaced::Done)
        return IniDocument(bytes, true);
    const QString text = textencoding::utf8Text(bytes);
    converted = Converted{file, copy, textencoding::unstorable(m_codec, text)};
    return IniDocument(m_codec.encode(textencoding::storable(m_codec, text)));
}
