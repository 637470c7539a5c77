#include "ui/messagebox.h"

#include <QMessageBox>

namespace messagebox {

namespace {
Seam *g_activeSeam = nullptr;
}

Seam::Seam() : m_previous(g_activeSeam) { g_activeSeam = this; }

Seam::~Seam() { g_activeSeam = m_previous; }

Seam *Seam::active() { return g_activeSeam; }

QStringList Seam::texts() const
{
    QStringList result;
    for (const Shown &box : m_shown)
        result << box.text;
    return result;
}

bool Seam::answer(const Shown &box)
{
    m_shown << box;
    if (box.buttons == Buttons::Ok)
        return true;
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

bool show(const QString &text, const QString &caption, Buttons buttons, Icon icon)
{
    const Shown box{text, caption.isEmpty() ? kDefaultCaption : caption, buttons, icon};
    if (Seam *seam = Seam::active())
        return seam->answer(box);

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
