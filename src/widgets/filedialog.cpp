#include "widgets/filedialog.h"

#include <QFileDialog>

namespace filedialog {

namespace {

// Qt reads the patterns from the last parenthesised group, separated by
// blanks; the design notation separates them with ";".
QString qtPatterns(QStringView pattern)
{
    QStringList parts;
    for (QStringView part : pattern.split(u';', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        if (part == u"*.*")
            parts << QStringLiteral("*");
        else if (!part.isEmpty())
            parts << part.toString();
    }
    return parts.join(u' ');
}

QString qtEntry(QStringView description, QStringView pattern)
{
    const QString patterns = qtPatterns(pattern);
    if (patterns.isEmpty())
        return {};
    const QString desc = description.isEmpty() ? pattern.toString() : description.toString();
    const QString converted = u'(' + patterns + u')';
    if (desc.endsWith(converted))
        return desc;
    return desc + u' ' + converted;
}

} // namespace

QString toQtFilter(QStringView designFilter)
{
    const QList<QStringView> parts = designFilter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString entry = qtEntry(parts[i], parts[i + 1]);
        if (!entry.isEmpty())
            entries << entry;
    }
    return entries.join(QStringLiteral(";;"));
}

QString openFile(const QString &designFilter, QWidget *parent)
{
    if (Seam *seam = Seam::active())
        return seam->answer(designFilter).value_or(QString());
    return QFileDialog::getOpenFileName(parent, QString(), QString(), toQtFilter(designFilter));
}

} // namespace filedialog
