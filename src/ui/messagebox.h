#pragma once

#include <QList>
#include <QString>

// The program's one message box: no owner window, modal for the whole
// program, caption "信息：" unless the caller gives one.
namespace messagebox {

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Information };

inline const QString kDefaultCaption = QStringLiteral("信息：");

// Shows the box and returns true when OK was chosen. With only an OK button
// every way of closing the box counts as OK; with OK and Cancel, closing the
// box counts as Cancel.
bool show(const QString &text, const QString &caption = {},
          Buttons buttons = Buttons::Ok, Icon icon = Icon::None);

// Shorthands.
inline void inform(const QString &text) { show(text); }
inline bool confirm(const QString &text, const QString &caption)
{
    return show(text, caption, Buttons::OkCancel);
}

// What one box looked like.
struct Shown
{
    QString text;
    QString caption; // as displayed, so the default caption when none was given
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

// While a Seam exists no box appears: every call is recorded and answered
// here. A box with a Cancel button takes the next queued answer (Cancel once
// the queue is empty); an OK-only box needs no answer and takes none.
class Seam
{
public:
    Seam();
    ~Seam();
    Seam(const Seam &) = delete;
    Seam &operator=(const Seam &) = delete;

    void queueAnswers(const QList<bool> &answers) { m_answers += answers; }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear() { m_shown.clear(); }

    // Used by show(); not for tests.
    static Seam *active();
    bool answer(const Shown &box);

private:
    QList<bool> m_answers;
    QList<Shown> m_shown;
    Seam *m_previous = nullptr;
};

} // namespace messagebox
