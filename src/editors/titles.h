#pragma once

#include "core/config.h"
#include "widgets/unsavednotice.h"

#include <QString>

class FontDialog;
class QWidget;
class TransparentLabel;

// The two titles whose texts and fonts are edited.
struct TitleControls
{
    TransparentLabel *mainTitle = nullptr;
    TransparentLabel *subTitle = nullptr;
};

// Editing the texts and fonts of the main title and the subtitle; each is
// stored at once.
class Titles
{
public:
    // `fontDialog` is shared by both titles, so each opens with the font
    // last confirmed for either of them.
    Titles(const TitleControls &controls, Config config, FontDialog &fontDialog,
           QWidget *dialogParent);

    void editMainTitle();
    void editSubTitle();
    void chooseMainTitleFont();
    void chooseSubTitleFont();

    // Height a title gets for a font of `points`: 1.8 times the size,
    // rounded down.
    static int heightForPointSize(int points);

private:
    void editTitle(TransparentLabel *label, Config::Title which, const QString &prompt);
    void chooseFont(TransparentLabel *label, Config::Title which);

    TitleControls m_controls;
    Config m_config;
    FontDialog &m_fontDialog;
    QWidget *m_dialogParent;
    UnsavedNotice m_unsaved{QStringLiteral("标题设置")}; // texts and fonts alike
};
