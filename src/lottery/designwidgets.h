#pragma once

#include "widgets/placement.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <array>

class PictureBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Small builders for the fixed layouts of the lottery's dialogs: every
// control gets its name, its place in pixels and its design text.
namespace design {

// The face the design data names for its Chinese texts.
inline const QString kSongTi = QStringLiteral("宋体");

// The tops of the four rows of slots (picture and box) in the prize
// settings and results windows.
inline constexpr int kSlotRowTops[4] = {28, 74, 120, 166};

// A font of the given pixel size, on the given face (the toolkit's default
// face when empty).
QFont pixelFont(int pixels, bool bold = false, const QString &family = {});

using ::setTextColour;

// Title, fixed size and design position 50, 50 of a dialog.
void setupDialog(QDialog *dialog, const QString &title, int width, int height);

QLabel *label(QWidget *parent, const QString &name, const QRect &rect, const QString &text);
// Makes a word-wrapped label's font smaller until its whole text fits its
// design size: the design faces are not on every machine, and the faces
// standing in for them may need more room.
void shrinkToFit(QLabel *label, int minimumPixels = 9);
QLineEdit *editBox(QWidget *parent, const QString &name, const QRect &rect, const QString &text);
PictureBox *pictureBox(QWidget *parent, const QString &name, const QRect &rect);
QPushButton *button(QWidget *parent, const QString &name, const QRect &rect, const QString &text);
QRadioButton *radioBox(QWidget *parent, const QString &name, const QRect &rect, const QString &text);

// The eight slots of the prize settings and results windows: per slot a
// picture box "图片框"N and an edit box "编辑框"N of the given font, made in
// that order, slot by slot (the tab order). Slots 1 to 4 go down the left
// column, 5 to 8 down the right one, on the rows of kSlotRowTops; the lefts
// are given for the left column first.
struct SlotGrid
{
    std::array<PictureBox *, 8> pictures{};
    std::array<QLineEdit *, 8> boxes{};
};
struct SlotColumns
{
    std::array<int, 2> pictureLefts;
    std::array<int, 2> boxLefts;
    int boxWidth = 0;
};
SlotGrid slotGrid(QWidget *parent, const SlotColumns &columns, const QFont &boxFont);

} // namespace design
