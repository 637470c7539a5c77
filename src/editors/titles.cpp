#include "titles.h"

#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/fontsize.h"
#include "widgets/inputbox.h"
#include "widgets/unstorablenotice.h"

namespace {

// The dialog's face, size and four effects; the angle is always 0. The face
// is cut to what the data file can hold, so the label shows what is stored.
QFont fontFromChoice(const QFont &chosen, const Config &config)
{
    QFont font(config.fitFaceName(chosen.family()));
    fontsize::setPoints(font, qMax(1, fontsize::points(chosen)));
    font.setBold(chosen.bold());
    font.setItalic(chosen.italic());
    font.setUnderline(chosen.underline());
    font.setStrikeOut(chosen.strikeOut());
    return font;
}

} // namespace

Titles::Titles(const TitleControls &controls, Config config, FontDialog &fontDialog,
               QWidget *dialogParent)
    : m_controls(controls)
    , m_config(config)
    , m_fontDialog(fontDialog)
    , m_dialogParent(dialogParent)
{
}

void Titles::editMainTitle()
{
    editTitle(m_controls.mainTitle, Config::Title::Main, QStringLiteral("请输入主标题"));
}

void Titles::editSubTitle()
{
    editTitle(m_controls.subTitle, Config::Title::Sub, QStringLiteral("请输入副标题"));
}

void Titles::chooseMainTitleFont()
{
    chooseFont(m_controls.mainTitle, Config::Title::Main);
}

void Titles::chooseSubTitleFont()
{
    chooseFont(m_controls.subTitle, Config::Title::Sub);
}

int Titles::heightForPointSize(int points)
{
    // 1.8 in whole numbers, so no rounding error can cost a pixel.
    return points * 18 / 10;
}

void Titles::editTitle(TransparentLabel *label, Config::Title which, const QString &prompt)
{
    const QString current = m_config.titleToEdit(which);
    const inputbox::Result answer = inputbox::ask(prompt, prompt, inputbox::Echo::Plain, current);
    if (!answer.ok)
        return;
    const QString name = which == Config::Title::Main ? QStringLiteral("主标题")
                                                       : QStringLiteral("副标题");
    if (unstorablenotice::refuse(name, m_config.unstorable(answer.text)))
        return;
    // An empty title is allowed: it clears the caption. Start-up then keeps
    // the design caption, since an empty key counts as missing.
    label->setText(answer.text);
    // The caption shows at once; a failed write only loses it at the next
    // start, where the stored or design caption comes back.
    m_unsaved.check(m_config.setTitle(which, answer.text));
}

void Titles::chooseFont(TransparentLabel *label, Config::Title which)
{
    if (const std::optional<FontChoice> choice = m_fontDialog.ask(m_dialogParent)) {
        label->setFont(fontFromChoice(choice->font, m_config));
        if (choice->colour.isValid())
            label->setTextColour(choice->colour);
    }
    // Even after Cancel the label's font is recorded, so from now on
    // start-up applies it.
    const QFont font = label->font();
    const int points = fontsize::points(font);
    // As with the text: the font shows now, a failed write only forgets it.
    const QColor colour = label->textColour();
    const bool saved = m_config.setTitleFont(
        which, {font.family(), points, {colour.red(), colour.green(), colour.blue()}});
    label->resize(label->width(), heightForPointSize(points));
    m_unsaved.check(saved);
}
