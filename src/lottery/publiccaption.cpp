#include "publiccaption.h"

#include <QEvent>

PublicCaption::PublicCaption(QWidget *window)
    : QLabel(window)
{
    setObjectName(QStringLiteral("标签_公开抽奖"));
    // Small, but legible on a projector over any background picture.
    QFont small = font();
    small.setPixelSize(13);
    small.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")});
    setFont(small);
    setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 160); padding: 1px 6px; }"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    window->installEventFilter(this);
    hide();
}

QString PublicCaption::textFor(const QByteArray &commitment, const QByteArray &check)
{
    return u"公开抽奖 · 承诺 " + QString::fromLatin1(commitment.left(16)) + u" · 校验 "
        + QString::fromLatin1(check.left(16));
}

void PublicCaption::show(const QByteArray &commitment, const QByteArray &check)
{
    setText(textFor(commitment, check));
    adjustSize();
    place();
    raise();
    QLabel::show();
}

bool PublicCaption::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

// Centred on the bottom edge, where the design puts no control.
void PublicCaption::place()
{
    const QWidget *window = parentWidget();
    move((window->width() - width()) / 2, window->height() - height());
}
