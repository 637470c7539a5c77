#pragma once

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
class FontColourDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FontColourDialog(const FontChoice &initial, QWidget *parent = nullptr);

    FontChoice choice() const;
    void setColour(const QColor &colour);

    QFontDialog *fontPage() const { return m_fontPage; }
    QPushButton *colourButton() const { return m_colourButton; }

private:
    void pickColour();

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
    // it would have opened with and takes the next queued answer; nullopt,
    // or an empty queue, is Cancel.
    class Seam
    {
    public:
        Seam();
        ~Seam();
        Seam(const Seam &) = delete;
        Seam &operator=(const Seam &) = delete;

        void queueOk(const FontChoice &choice) { m_answers << std::optional<FontChoice>(choice); }
        void queueCancel() { m_answers << std::nullopt; }
        const QList<FontChoice> &openedWith() const { return m_openedWith; }

        static Seam *active();
        std::optional<FontChoice> answer(const FontChoice &opening);

    private:
        QList<std::optional<FontChoice>> m_answers;
        QList<FontChoice> m_openedWith;
        Seam *m_previous = nullptr;
    };

private:
    FontChoice m_selection;
};
