#pragma once

#include "widgets/dialogseam.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The program's one input box: the caller's prompt and caption, a one-line
// entry, plain or masked with "*", and the buttons "确认输入(&O)" and
// "取消(&C)".
namespace inputbox {

// Echoes typed text as "*" on every platform, not as the style's dot.
void maskEntry(QLineEdit *entry);

enum class Echo { Plain, Masked };

struct Result
{
    bool ok = false;
    QString text;
};

Result ask(const QString &prompt, const QString &caption, Echo echo = Echo::Plain,
           const QString &initial = {});

// The dialog ask() shows; public so its layout can be checked.
class InputDialog : public QDialog
{
    Q_OBJECT
public:
    InputDialog(const QString &prompt, const QString &caption, Echo echo,
                const QString &initial, QWidget *parent = nullptr);

    QLabel *promptLabel() const { return m_prompt; }
    QLineEdit *entry() const { return m_entry; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    QLabel *m_prompt;
    QLineEdit *m_entry;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// What one box asked. The entered text is deliberately not recorded.
struct Asked
{
    QString prompt;
    QString caption;
    Echo echo = Echo::Plain;
    QString initial;
};

// While a Seam exists no box appears: every call is recorded and answered
// with the next queued text.
class Seam : public DialogSeam<Seam, Asked, QString>
{
public:
    void queueOk(const QString &text) { queue(text); }
    const QList<Asked> &asked() const { return m_records; }
};

} // namespace inputbox
