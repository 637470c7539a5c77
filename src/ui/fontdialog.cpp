#include "ui/fontdialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

FontColourDialog::FontColourDialog(const FontChoice &initial, QWidget *parent)
    : QDialog(parent),
      m_fontPage(new QFontDialog(initial.font, this)),
      m_colourButton(new QPushButton(QStringLiteral("颜色(&L)..."), this))
{
    setWindowTitle(QStringLiteral("字体"));
    setWindowModality(Qt::ApplicationModal);
    // The font dialog becomes a plain page of this dialog.
    m_fontPage->setWindowFlags(Qt::Widget);
    m_fontPage->setOptions(QFontDialog::NoButtons);
    setColour(initial.colour);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_colourButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fontPage);
    layout->addLayout(bottom);

    connect(m_colourButton, &QPushButton::clicked, this, &FontColourDialog::pickColour);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

FontChoice FontColourDialog::choice() const
{
    return {m_fontPage->currentFont(), m_colour};
}

void FontColourDialog::setColour(const QColor &colour)
{
    m_colour = colour;
    QPixmap swatch(16, 16);
    swatch.fill(colour.isValid() ? colour : QColor(Qt::black));
    m_colourButton->setIcon(swatch);
}

void FontColourDialog::pickColour()
{
    const QColor picked = QColorDialog::getColor(m_colour, this);
    if (picked.isValid())
        setColour(picked);
}

std::optional<FontChoice> FontDialog::ask(QWidget *parent)
{
    std::optional<FontChoice> result;
    if (Seam *seam = Seam::active()) {
        result = seam->answer(m_selection);
    } else {
        FontColourDialog dialog(m_selection, parent);
        if (dialog.exec() == QDialog::Accepted)
            result = dialog.choice();
    }
    if (result)
        m_selection = *result;
    return result;
}


