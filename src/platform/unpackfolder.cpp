#include "unpackfolder.h"

#include <QDir>

bool folderLiesWithin(const QString &folder, const QString &parent, Qt::CaseSensitivity caseSensitivity)
{
    if (folder.isEmpty() || parent.isEmpty())
        return false;
    const auto clean = [](const QString &path) {
        // Either separator, whatever system runs this: the rule is Windows'.
        QString out = QDir::cleanPath(QString(path).replace(u'\\', u'/'));
        if (!out.endsWith(u'/'))
            out += u'/';
        return out;
    };
    return clean(folder).startsWith(clean(parent), caseSensitivity);
}
