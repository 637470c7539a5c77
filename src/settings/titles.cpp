#include "titles.h"

#include "core/keys.h"
#include "core/settingsfile.h"
#include "core/textcodec.h"
#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/fontsize.h"
#include "widgets/inputbox.h"

namespace {


// A colour as the data file holds it: red in the low byte, then green, then blue.
QString colourText(const QColor &colour)
{
    const quint32 value = quint32(colour.red()) | (quint32(colour.green()) << 8)
        | (quint32(colour.blue()) << 16);
    return QString::number(value);
}

// A label's face name holds at most 31 bytes in the code page of the data
// files; a longer name is cut at a whole character.
QString faceName(const QString &family, const TextCodec &codec)
{
    constexpr int kMaxFaceBytes = 31;
    QString name = family;
    while (codec.encode(name).size() > kMaxFaceBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return name;
}

// The dialog's face, size and four effects; the angle is always 0.
QFont fontFromChoice(const QFont &chosen, const TextCodec &codec)
{
    QFont font(faceName(chosen.family(), codec));
    fontsize::setPoints(font, qMax(1, fontsize::points(chosen)));
    font.setBold(chosen.bold());
    font.setItalic(chosen.italic());
    font.setUnderline(chosen.underline());
    font.setStrikeOut(chosen.strikeOut());
    return font;
}

} // namespace

Titles::Titles(const TitleControls &controls, SettingsFile &settings, FontDialog &fontDialog,
               QWidget *dialogParent)
    : m_controls(controls)
    , m_settings(settings)
    , m_fontDialog(fontDialog)
    , m_dialogParent(dialogParent)
{
}

void Titles::editMainTitle()
{
    editTitle(m_controls.mainTitle, keys::kMainTitle, keys::kMainTitlePrompt,
              QStringLiteral("请输入主标题"));
}

void Titles::editSubTitle()
{
    editTitle(m_controls.subTitle, keys::kSubTitle, keys::kSubTitlePrompt,
              QStringLiteral("请输入副标题"));
}

void Titles::chooseMainTitleFont()
{
    chooseFont(m_controls.mainTitle,
               {keys::kMainTitleFont, keys::kMainTitleFontSize, keys::kMainTitleFontColour});
}

void Titles::chooseSubTitleFont()
{
    chooseFont(m_controls.subTitle,
               {keys::kSubTitleFont, keys::kSubTitleFontSize, keys::kSubTitleFontColour});
}

int Titles::heightForPointSize(int points)
{
    // 1.8 in whole numbers, so no rounding error can cost a pixel.
    return points * 18 / 10;
}

void Titles::editTitle(TransparentLabel *label, QStringView key, QStringView offered,
                       const QString &prompt)
{
    const QString current = m_settings.readZbt(key, offered);
    const inputbox::Result answer = inputbox::ask(prompt, prompt, inputbox::Echo::Plain, current);
    if (!answer.ok)
        return;
    // An empty title is allowed: it clears the caption. Start-up then keeps
    // the design caption, since an empty key counts as missing.
    label->setText(answer.text);
    // The caption shows at once; a failed write only loses it at the next
    // start, where the stored or design caption comes back.
    m_unsaved.check(m_settings.writeZbt(key, answer.text));
}

void Titles::chooseFont(TransparentLabel *label, const FontKeys &fontKeys)
{
    if (const std::optional<FontChoice> choice = m_fontDialog.ask(m_dialogParent)) {
        label->setFont(fontFromChoice(choice->font, m_settings.codec()));
        if (choice->colour.isValid())
            label->setTextColour(choice->colour);
    }
    // Even after Cancel the label's font is recorded, so from now on
    // start-up applies it.
    const QFont font = label->font();
    const int points = fontsize::points(font);
    // As with the text: the font shows now, a failed write only forgets it.
    const bool saved = m_settings.writeMany(DataFile::Config, keys::kYanse,
                                            {{fontKeys.face, font.family()},
                                             {fontKeys.size, QString::number(points)},
                                             {fontKeys.colour, colourText(label->textColour())}});
    label->resize(label->width(), heightForPointSize(points));
    m_unsaved.check(saved);
}
