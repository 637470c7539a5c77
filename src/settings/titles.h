#pragma once

#include "widgets/unsavednotice.h"

#include <QString>
#include <QStringView>

class FontDialog;
class QWidget;
class SettingsFile;
class TransparentLabel;

// The two titles whose texts and fonts are edited.
struct TitleControls
{
    TransparentLabel *mainTitle = nullptr;
    TransparentLabel *subTitle = nullptr;
};

// Editing the texts and fonts of the main title and the subtitle. Texts go
// to section "zbt", fonts to section "yanse" of config.a, at once.
class Titles
{
public:
    // `fontDialog` is shared by both titles, so each opens with the font
    // last confirmed for either of them.
    Titles(const TitleControls &controls, SettingsFile &settings, FontDialog &fontDialog,
           QWidget *dialogParent);

    void editMainTitle();
    void editSubTitle();
    void chooseMainTitleFont();
    void chooseSubTitleFont();

    // Height a title gets for a font of `points`: 1.8 times the size,
    // rounded down.
    static int heightForPointSize(int points);

private:
    struct FontKeys
    {
        QStringView face;
        QStringView size;
        QStringView colour;
    };

    void editTitle(TransparentLabel *label, QStringView key, QStringView offered,
                   const QString &prompt);
    void chooseFont(TransparentLabel *label, const FontKeys &fontKeys);

    TitleControls m_controls;
    SettingsFile &m_settings;
    FontDialog &m_fontDialog;
    QWidget *m_dialogParent;
    UnsavedNotice m_unsaved{QStringLiteral("标题设置")}; // texts and fonts alike
};
