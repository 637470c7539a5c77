#include "statusnotice.h"

#include <QEvent>

namespace {

constexpr int kMargin = 6;
constexpr int kHeight = 20;

} // namespace

StatusNotice::StatusNotice(QWidget *window)
    : QLabel(window)
{
    setObjectName(QStringLiteral("标签_保存提示"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(0, 0, 0, 150); color: white; padding: 1px 8px; border-radius: 3px; }"));
    QFont small = font();
    small.setPixelSize(13);
    setFont(small);
    m_hide.setSingleShot(true);
    connect(&m_hide, &QTimer::timeout, this, &StatusNotice::clear);
    window->installEventFilter(this);
    hide();
}

void StatusNotice::showSteady(const QString &text)
{
    m_hide.stop();
    setText(text);
    place();
    show();
    raise();
}

void StatusNotice::showFor(const QString &text, int ms)
{
    showSteady(text);
    m_hide.start(ms);
}

void StatusNotice::clear()
{
    m_hide.stop();
    hide();
    setText({});
}

bool StatusNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

// Bottom left, as wide as its text.
void StatusNotice::place()
{
    const QWidget *window = parentWidget();
    const int width = qMin(sizeHint().width(), window->width() - 2 * kMargin);
    setGeometry(kMargin, window->height() - kHeight - kMargin, width, kHeight);
}
