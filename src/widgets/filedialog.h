#pragma once

#include "widgets/dialogseam.h"

#include <QString>
#include <QStringList>
#include <QStringView>

class QFileDialog;
class QWidget;

// The modal file-open dialog. Filters come in the program's own notation,
// description and pattern separated by "|" (for example
// "图形文件(*.jpg)|*.jpg"), and are converted for Qt here.
namespace filedialog {

// "desc|pattern|desc2|pattern2" -> "desc (pattern);;desc2 (pattern2)".
// The description stays as written; when it already ends with its pattern
// in parentheses nothing is appended. Patterns separated by ";" become
// space-separated, and "*.*" means every file. A description without a
// pattern, or an empty pattern, is dropped.
QString toQtFilter(QStringView designFilter);

// Makes `dialog` the program's file-open dialog for `designFilter`. Its list
// shows each description as written; where the file system tells case apart
// the patterns match any case ("*.jpg" offers IMG_0001.JPG), as on Windows.
void prepare(QFileDialog &dialog, QStringView designFilter);

// The chosen path, or the empty text when the operator cancelled.
QString openFile(const QString &designFilter, QWidget *parent = nullptr);

// While a Seam exists no dialog appears: each call records its filter and
// takes the next queued path.
class Seam : public DialogSeam<Seam, QString, QString>
{
public:
    void queueChoice(const QString &path) { queue(path); }
    const QStringList &filters() const { return m_records; }
};

} // namespace filedialog
