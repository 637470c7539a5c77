#include "widgets/messagebox.h"

#include <QMessageBox>

namespace messagebox {

QStringList Seam::texts() const
{
    QStringList result;
    for (const Shown &box : m_records)
        result << box.text;
    return result;
}

void Seam::queueAnswers(const QList<bool> &answers)
{
    for (const bool ok : answers)
        queue(ok);
}

bool Seam::take(const Shown &box)
{
    record(box);
    if (box.buttons == Buttons::Ok)
        return true;
    return nextAnswer().value_or(false);
}

bool show(const QString &text, const QString &caption, Buttons buttons, Icon icon)
{
    const Shown box{text, caption.isEmpty() ? kDefaultCaption : caption, buttons, icon};
    if (Seam *seam = Seam::active())
        return seam->take(box);

    const bool withCancel = buttons == Buttons::OkCancel;
    QMessageBox dialog(icon == Icon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
                       box.caption, text,
                       withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setDefaultButton(QMessageBox::Ok);
    dialog.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    return dialog.exec() == QMessageBox::Ok;
}

} // namespace messagebox
