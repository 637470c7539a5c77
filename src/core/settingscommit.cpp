// SettingsFile's write path: the lock, the read, the changes and the save,
// and the changes that wait while another program holds the file.
#include "settingsfile.h"

#include "filesystem.h"
#include "filetransaction.h"
#include "inidocument.h"

#include <QFileInfo>
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
    return int(waiting(file).size());
}

SettingsFile::Saved SettingsFile::commit(DataFile file, Change change)
{
    waiting(file).append(std::move(change));
    QList<Change> dropped;
    const Saved saved = store(file, deadlineFromNow(wait()), dropped);
    // The caller hears of its own change from the result; those that waited
    // before it are told here.
    if (!dropped.isEmpty())
        dropped.removeLast();
    for (const Change &lost : std::as_const(dropped)) {
        if (lost.lost)
            lost.lost();
    }
    return saved;
}

SettingsFile::Saved SettingsFile::flush(DataFile file, int waitMs)
{
    QList<Change> dropped;
    const Saved saved = store(file, deadlineFromNow(waitMs), dropped);
    for (const Change &lost : std::as_const(dropped)) {
        if (lost.lost)
            lost.lost();
    }
    return saved;
}

// Every change that waits is made on the file as it is now, in order, and
// saved in one replace: all of them are stored, or none. The changes hear
// that they were stored while the transaction still holds the lock, so a
// win's history line is written under the lock that counted it.
SettingsFile::Saved SettingsFile::store(DataFile file, qint64 deadline, QList<Change> &dropped)
{
    QList<Change> &changes = waiting(file);
    if (changes.isEmpty())
        return Saved::Stored;
    FileTransaction transaction(storedPath(file), deadline);
    QStringList texts;
    FileTransaction::Step step = transaction.begin();
    if (step == FileTransaction::Step::Done) {
        IniDocument document(transaction.bytes());
        for (const Change &change : std::as_const(changes))
            texts.append(change.apply(document));
        const QByteArray bytes = document.toBytes();
        step = transaction.save(bytes);
        if (step == FileTransaction::Step::Done)
            m_shared->lastSeen[int(file)] = bytes;
    }
    if (step == FileTransaction::Step::Busy)
        return Saved::Pending;
    QList<Change> done = std::exchange(changes, {});
    if (step == FileTransaction::Step::Refused) {
        dropped = std::move(done);
        return Saved::Refused;
    }
    for (qsizetype i = 0; i < done.size(); ++i) {
        if (done[i].stored)
            done[i].stored(texts.value(i));
    }
    return Saved::Stored;
}

SettingsFile::Saved SettingsFile::commitNow(DataFile file,
                                            const std::function<QString(IniDocument &)> &apply,
                                            const std::function<bool(const QString &)> &then)
{
    if (const Saved before = flush(file, wait()); before != Saved::Stored)
        return before;
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
    m_shared->lastSeen[int(file)] = bytes;
    if (then(text))
        return Saved::Stored;
    if (transaction.save(before) != FileTransaction::Step::Done)
        return Saved::Stored;
    m_shared->lastSeen[int(file)] = before;
    return Saved::Refused;
}
