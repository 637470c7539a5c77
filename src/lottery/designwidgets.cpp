#include "lottery/designwidgets.h"

#include "widgets/picturebox.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

namespace design {

namespace {

template<typename W>
W *place(W *widget, const QString &name, const QRect &rect)
{
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

} // namespace

QFont pixelFont(int pixels, bool bold, const QString &family)
{
    QFont font;
    if (!family.isEmpty())
        font.setFamilies({family});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
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
    auto *result = place(new QLabel(text, parent), name, rect);
    result->setTextFormat(Qt::PlainText);
    return result;
}

QLineEdit *editBox(QWidget *parent, const QString &name, const QRect &rect, const QString &text)
{
    return place(new QLineEdit(text, parent), name, rect);
}

PictureBox *pictureBox(QWidget *parent, const QString &name, const QRect &rect)
{
    return place(new PictureBox(parent), name, rect);
}

QPushButton *button(QWidget *parent, const QString &name, const QRect &rect, const QString &text)
{
    auto *result = place(new QPushButton(text, parent), name, rect);
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
    return place(new QRadioButton(text, parent), name, rect);
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
