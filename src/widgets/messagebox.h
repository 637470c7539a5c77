#pragma once

#include "widgets/dialogseam.h"

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
class Seam : public DialogSeam<Seam, Shown, bool>
{
public:
    void queueAnswers(const QList<bool> &answers);
    const QList<Shown> &shown() const { return m_records; }
    QStringList texts() const;
    void clear() { m_records.clear(); }

    // Used by show(); not for tests. True for OK.
    bool take(const Shown &box);
};

} // namespace messagebox
