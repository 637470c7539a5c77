#pragma once

#include "widgets/dialogseam.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QList>
#include <optional>

class QFontDialog;
class QPushButton;

// A font with its text colour: what the title font dialog offers.
struct FontChoice
{
    QFont font;
    QColor colour;

    bool operator==(const FontChoice &other) const
    {
        return font == other.font && colour == other.colour;
    }
};

// Qt's font page (face, size, bold, italic, underline, strikeout) with a
// colour button under it and OK / Cancel.
//
// The page can only show what the machine has: a design face such as 宋体
// is shown as the installed face it is mapped to, and a style the page
// cannot name (its style names are translated, the font's are not) is shown
// as the nearest it can. So the choice is taken attribute by attribute:
// whatever the operator left alone is returned exactly as it was opened,
// face name included, and only what they changed comes from the page.
class FontColourDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FontColourDialog(const FontChoice &initial, QWidget *parent = nullptr);

    FontChoice choice() const;
    void setColour(const QColor &colour);

    QFontDialog *fontPage() const { return m_fontPage; }
    QPushButton *colourButton() const { return m_colourButton; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pickColour();

    QFont m_opened;     // the font asked for, returned where nothing was changed
    QFont m_pageAtOpen; // what the page made of it
    QFontDialog *m_fontPage;
    QPushButton *m_colourButton;
    QColor m_colour;
};

// The font dialog of the title fonts. One instance serves both titles and
// opens with its own last confirmed selection.
class FontDialog
{
public:
    explicit FontDialog(FontChoice initial) : m_selection(std::move(initial)) {}

    // Modal; the choice on OK (which becomes the selection), nullopt on Cancel.
    std::optional<FontChoice> ask(QWidget *parent = nullptr);
    const FontChoice &selection() const { return m_selection; }

    // While a Seam exists no dialog appears: each ask() records the selection
    // it would have opened with and takes the next queued choice.
    class Seam : public DialogSeam<Seam, FontChoice, FontChoice>
    {
    public:
        void queueOk(const FontChoice &choice) { queue(choice); }
        const QList<FontChoice> &openedWith() const { return m_records; }
    };

private:
    FontChoice m_selection;
};
