#include "lottery/designwidgets.h"

#include "widgets/picturebox.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace design {

QFont pixelFont(int pixels, bool bold, const QString &family)
{
    QFont font;
    if (!family.isEmpty())
        font.setFamilies({family});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void setupDialog(QDialog *dialog, const QString &title, int width, int height)
{
    dialog->setWindowTitle(title);
    dialog->setFixedSize(width, height);
    dialog->move(50, 50);
    dialog->setWindowModality(Qt::ApplicationModal);
}

QLabel *label(QWidget *parent, const QString &name, const QRect &rect, const QString &text)
{
    auto *result = named(new QLabel(text, parent), name, rect);
    result->setTextFormat(Qt::PlainText);
    return result;
}

QLineEdit *editBox(QWidget *parent, const QString &name, const QRect &rect, const QString &text)
{
    return named(new QLineEdit(text, parent), name, rect);
}

PictureBox *pictureBox(QWidget *parent, const QString &name, const QRect &rect)
{
    return named(new PictureBox(parent), name, rect);
}

QPushButton *button(QWidget *parent, const QString &name, const QRect &rect, const QString &text)
{
    auto *result = named(new QPushButton(text, parent), name, rect);
    // A dialog's buttons answer a click or the key of the focused button,
    // never Enter typed in an edit box: 进入设置 on Enter would refuse a
    // password still being typed, and 确定 would save and close half-typed
    // prize values.
    result->setAutoDefault(false);
    result->setDefault(false);
    return result;
}

QRadioButton *radioBox(QWidget *parent, const QString &name, const QRect &rect, const QString &text)
{
    return named(new QRadioButton(text, parent), name, rect);
}

SlotGrid slotGrid(QWidget *parent, const SlotColumns &columns, const QFont &boxFont)
{
    SlotGrid grid;
    for (int i = 0; i < 8; ++i) {
        const int column = i < 4 ? 0 : 1;
        const int top = kSlotRowTops[i % 4];
        const QString n = QString::number(i + 1);
        grid.pictures[i] = pictureBox(parent, QStringLiteral("图片框") + n,
                                      {columns.pictureLefts[column], top, 100, 40});
        grid.boxes[i] = editBox(parent, QStringLiteral("编辑框") + n,
                                {columns.boxLefts[column], top, columns.boxWidth, 40}, QString());
        grid.boxes[i]->setFont(boxFont);
    }
    return grid;
}

void shrinkToFit(QLabel *label, int minimumPixels)
{
    QFont font = label->font();
    const QRect box = label->contentsRect();
    for (int pixels = font.pixelSize(); pixels > minimumPixels; --pixels) {
        const QRect needed = QFontMetrics(font).boundingRect(
            QRect(0, 0, box.width(), 1 << 20), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
        if (needed.height() <= box.height())
            break;
        font.setPixelSize(pixels - 1);
    }
    label->setFont(font);
}

} // namespace design
