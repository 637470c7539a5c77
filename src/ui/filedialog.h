#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

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

// The chosen path, or the empty text when the operator cancelled.
QString openFile(const QString &designFilter, QWidget *parent = nullptr);

// While a Seam exists no dialog appears: each call records its filter and
// takes the next queued answer; nullopt, or an empty queue, is Cancel.
class Seam
{
public:
    Seam();
    ~Seam();
    Seam(const Seam &) = delete;
    Seam &operator=(const Seam &) = delete;

    void queueChoice(const QString &path) { m_answers << std::optional<QString>(path); }
    void queueCancel() { m_answers << std::nullopt; }
    const QStringList &filters() const { return m_filters; }

    // Used by openFile(); not for tests.
    static Seam *active();
    QString answer(const QString &designFilter);

private:
    QList<std::optional<QString>> m_answers;
    QStringList m_filters;
    Seam *m_previous = nullptr;
};

} // namespace filedialog
