#include "filecopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool copyFileReplacing(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (!from.isFile())
        return false;
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return true; // the same file: nothing to copy, and nothing may be truncated
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}
