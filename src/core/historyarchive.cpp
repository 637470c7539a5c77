#include "historyarchive.h"

#include "filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace history {

namespace {

// More files of one second than any clearing makes; the search ends there.
constexpr int kMaxSameSecond = 100;

QString nameFor(const QFileInfo &history, const QDateTime &time, int number)
{
    QString name = history.completeBaseName() + u'-' + time.toString(u"yyyyMMdd-HHmmss");
    if (number > 1)
        name += u'-' + QString::number(number);
    return history.dir().filePath(name + u'.' + history.suffix());
}

} // namespace

Archived archive(const QString &path, const QDateTime &time)
{
    const QFileInfo history(path);
    if (!history.exists())
        return {};
    if (!history.isFile())
        return {{}, QStringLiteral("它不是文件")};
    QFile file(path);
    for (int number = 1; number <= kMaxSameSecond; ++number) {
        const QString target = nameFor(history, time, number);
        // QFile never renames over an existing file: a name taken since the
        // check only makes this rename fail, and the next name is tried.
        if (QFileInfo::exists(target))
            continue;
        if (file.rename(target)) {
            // Unsynced, a power cut could only bring the old name back, with
            // every line: nothing to tell the operator.
            static_cast<void>(FileSystem::current().syncFolder(history.absolutePath()));
            return {target, {}};
        }
        if (QFileInfo::exists(path) && !QFileInfo::exists(target))
            return {{}, file.errorString()};
    }
    return {{}, QStringLiteral("同一秒的改名文件太多")};
}

} // namespace history
