#include "widgets/fontdialog.h"

#include <algorithm>

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The font as the page can show it: a face that is not installed but is
// mapped to one that is (宋体 and the other design faces) is shown as that
// one, under the installed spelling (Qt keeps substitutes in lower case).
QFont shownOnPage(const QFont &font)
{
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(font.family()))
        return font;
    for (const QString &substitute : QFont::substitutes(font.family())) {
        const auto match = std::find_if(installed.begin(), installed.end(), [&](const QString &face) {
            return face.compare(substitute, Qt::CaseInsensitive) == 0;
        });
        if (match != installed.end()) {
            QFont shown = font;
            shown.setFamilies({*match});
            return shown;
        }
    }
    return font;
}

// Qt 6.4's page lists a face's styles by the names its font files give
// ("Bold") but looks the font's own style up by its translated name ("粗体"),
// so under Chinese texts it falls back to the first style. Select the style
// of the face that has the font's weight and slant, or at least its weight.
QString matchingStyle(const QString &family, const QFont &font)
{
    const QStringList styles = QFontDatabase::styles(family);
    QString weightOnly;
    for (const QString &style : styles) {
        if (QFontDatabase::bold(family, style) != font.bold())
            continue;
        if (QFontDatabase::italic(family, style) == font.italic())
            return style;
        if (weightOnly.isEmpty())
            weightOnly = style;
    }
    return weightOnly;
}

void selectMatchingStyle(QFontDialog *page, const QFont &font)
{
    const QString wanted = matchingStyle(page->currentFont().family(), font);
    if (wanted.isEmpty())
        return;
    for (QListView *list : page->findChildren<QListView *>()) {
        QAbstractItemModel *model = list->model();
        const QModelIndexList hits = model->match(model->index(0, 0), Qt::DisplayRole, wanted, 1, Qt::MatchExactly);
        if (!hits.isEmpty()) {
            list->setCurrentIndex(hits.first());
            return;
        }
    }
}

} // namespace

FontColourDialog::FontColourDialog(const FontChoice &initial, QWidget *parent)
    : QDialog(parent),
      m_opened(initial.font),
      m_fontPage(new QFontDialog(shownOnPage(initial.font), this)),
      m_colourButton(new QPushButton(QStringLiteral("颜色(&L)..."), this))
{
    setWindowTitle(QStringLiteral("字体"));
    setWindowModality(Qt::ApplicationModal);
    // The font dialog becomes a plain page of this dialog.
    m_fontPage->setWindowFlags(Qt::Widget);
    m_fontPage->setOptions(QFontDialog::NoButtons);
    m_fontPage->installEventFilter(this);
    if (m_fontPage->currentFont().bold() != initial.font.bold()
        || m_fontPage->currentFont().italic() != initial.font.italic())
        selectMatchingStyle(m_fontPage, initial.font);
    m_pageAtOpen = m_fontPage->currentFont();
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

// The page is still a dialog of its own: left alone, Esc would close just
// the page and Enter would stop there, finding no default button of its own.
// Both belong to this dialog.
bool FontColourDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fontPage && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = key->modifiers() == Qt::NoModifier
            || (key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter);
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            accept();
            return true;
        }
        if (plain && key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

FontChoice FontColourDialog::choice() const
{
    const QFont now = m_fontPage->currentFont();
    QFont font = m_opened;
    if (now.family() != m_pageAtOpen.family())
        font.setFamilies({now.family()});
    if (now.pointSize() != m_pageAtOpen.pointSize())
        font.setPointSize(now.pointSize());
    if (now.weight() != m_pageAtOpen.weight())
        font.setWeight(now.weight());
    if (now.italic() != m_pageAtOpen.italic())
        font.setItalic(now.italic());
    if (now.underline() != m_pageAtOpen.underline())
        font.setUnderline(now.underline());
    if (now.strikeOut() != m_pageAtOpen.strikeOut())
        font.setStrikeOut(now.strikeOut());
    return {font, m_colour};
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


