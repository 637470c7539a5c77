#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

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

void setTextColour(QWidget *widget, const QColor &colour);

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

} // namespace design
