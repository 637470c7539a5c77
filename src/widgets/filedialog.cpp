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

#ifndef Q_OS_WIN
// "*.jpg" -> "*.[jJ][pP][gG]", so that a case-sensitive file system still
// offers IMG_0001.JPG, as Windows does. A pattern with its own brackets is
// left as it is.
QString anyCase(const QString &pattern)
{
    if (pattern.contains(u'['))
        return pattern;
    QString result;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower == upper)
            result += c;
        else
            result += u'[' + QString(lower) + upper + u']';
    }
    return result;
}

// Every entry as "description (patterns in any case)". The dialog hides the
// part in parentheses at the end, so its list shows the description alone,
// as the design notation shows it on Windows.
QString anyCaseFilter(QStringView designFilter)
{
    const QList<QStringView> parts = designFilter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = qtPatterns(parts[i + 1]).split(u' ', Qt::SkipEmptyParts);
        if (patterns.isEmpty())
            continue;
        for (QString &pattern : patterns)
            pattern = anyCase(pattern);
        const QString desc = parts[i].isEmpty() ? parts[i + 1].toString() : parts[i].toString();
        entries << desc + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return entries.join(QStringLiteral(";;"));
}
#endif

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

void prepare(QFileDialog &dialog, QStringView designFilter)
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
#ifdef Q_OS_WIN
    // The file system ignores case, and so do the system's patterns.
    dialog.setNameFilter(toQtFilter(designFilter));
#else
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(anyCaseFilter(designFilter));
#endif
}

QString openFile(const QString &designFilter, QWidget *parent)
{
    if (Seam *seam = Seam::active())
        return seam->answer(designFilter).value_or(QString());
    QFileDialog dialog(parent);
    prepare(dialog, designFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace filedialog
