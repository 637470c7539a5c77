#include "widgets/inputbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace inputbox {

void maskEntry(QLineEdit *entry)
{
    entry->setEchoMode(QLineEdit::Password);
    entry->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}

InputDialog::InputDialog(const QString &prompt, const QString &caption, Echo echo,
                         const QString &initial, QWidget *parent)
    : QDialog(parent),
      m_prompt(new QLabel(prompt, this)),
      m_entry(new QLineEdit(initial, this)),
      m_ok(new QPushButton(QStringLiteral("确认输入(&O)"), this)),
      m_cancel(new QPushButton(QStringLiteral("取消(&C)"), this))
{
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    m_prompt->setWordWrap(true);
    m_prompt->setTextFormat(Qt::PlainText);
    if (echo == Echo::Masked) {
        maskEntry(m_entry);
    }
    m_ok->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_entry);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Result ask(const QString &prompt, const QString &caption, Echo echo, const QString &initial)
{
    if (Seam *seam = Seam::active()) {
        const std::optional<QString> text = seam->answer({prompt, caption, echo, initial});
        return text ? Result{true, *text} : Result{};
    }

    InputDialog dialog(prompt, caption, echo, initial);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {true, dialog.entry()->text()};
}

} // namespace inputbox
