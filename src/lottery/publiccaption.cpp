#include "publiccaption.h"

#include <QEvent>

PublicCaption::PublicCaption(QWidget *window)
    : QLabel(window)
{
    setObjectName(QStringLiteral("标签_公开抽奖"));
    // Legible in a photograph of the projection, over any background picture.
    QFont text = font();
    text.setPixelSize(kTextPixels);
    text.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")});
    setFont(text);
    setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 170); padding: 3px 10px; }"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    window->installEventFilter(this);
    hide();
}

QString PublicCaption::textFor(qint64 n, const QByteArray &commitment, const QByteArray &check)
{
    const QString last = check.isEmpty() ? QString() : u" · 校验 " + QString::fromLatin1(check.left(16));
    if (commitment.isEmpty())
        return u"公开抽奖 · 没有承诺，不能抽奖" + last;
    return u"公开抽奖 · 第 " + QString::number(n) + u" 次 · 承诺 " + QString::fromLatin1(commitment.left(16))
        + last;
}

void PublicCaption::show(qint64 n, const QByteArray &commitment, const QByteArray &check)
{
    setText(textFor(n, commitment, check));
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

// Centred at the bottom, where the design puts no control, above the
// 26 pixels of the bottom notice's corner so that a long notice never
// covers it.
void PublicCaption::place()
{
    constexpr int kNoticeBand = 26;
    const QWidget *window = parentWidget();
    move((window->width() - width()) / 2, window->height() - height() - kNoticeBand);
}
