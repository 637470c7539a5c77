#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QScreen;
class QWidget;
class QWindow;

// Tells a window when what it was laid out for may have changed: a screen
// was connected or disconnected, a screen changed its size, position or
// scale, or the window went to another screen. Several of these come
// together (a projector plugged in moves and resizes screens one by one), so
// they are gathered into one `changed` on the next turn of the event loop,
// when the system's list of screens is settled.
class ScreenWatch : public QObject
{
    Q_OBJECT
public:
    explicit ScreenWatch(QWidget *window);

Q_SIGNALS:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Follows the window's native window, which a change of window flags
    // makes anew.
    void followNativeWindow();
    void watchScreen(QScreen *screen);
    void schedule() { m_pending.start(); }

    QWidget *m_window;
    QPointer<QWindow> m_native;
    QTimer m_pending;
};
