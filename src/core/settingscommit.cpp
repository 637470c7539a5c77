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
        std::optional<Converted> converted;
        IniDocument document = documentToWrite(file, transaction.bytes(), deadline, converted);
        for (const Change &change : std::as_const(changes))
            texts.append(change.apply(document));
        const QByteArray bytes = document.toBytes();
        step = transaction.save(bytes);
        if (step == FileTransaction::Step::Done)
            m_shared->lastSeen[int(file)] = bytes;
        if (step == FileTransaction::Step::Done && converted && m_shared->converted)
            m_shared->converted(*converted);
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
