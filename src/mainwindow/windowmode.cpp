// The window mode: full screen without a frame, or a framed window a little
// smaller than the screen, on the screen the window is on. The menu's two
// entries show which one is on.
// The mode is stored for the next start; when the folder cannot be written
// the switch still happens and only the next start forgets it, as with
// every on-screen preference. Each returns whether the mode was stored: the
// menu tells the operator when not, start-up (which writes it too) does not.
#include "mainwindow.h"

#include "editors/screenchoice.h"
#include "widgets/outersize.h"
#include "widgets/screensize.h"

#include <QAction>

// At start-up, the mode config.a holds; setting it stores it again, and
// start-up tells nothing when that write fails (see the top).
void MainWindow::applyStoredWindowMode()
{
    if (m_config.windowMode() == Config::WindowMode::Windowed)
        static_cast<void>(setWindowed());
    else
        static_cast<void>(setFullScreen());
}

bool MainWindow::setFullScreen()
{
    QWidget *w = this;
    const bool shown = w->isVisible();
    // Taken before the flags change: that drops the native window, which
    // knows the screen. A framed window the operator dragged to another
    // screen fills that one, which is stored as the window's screen.
    QScreen *screen = screenOf(w);
    if (screen && screen != screenchoice::stored(m_config))
        (void)screenchoice::remember(m_config, screen); // see the top
    const QRect area = screenArea(screen);
    m_laidOutFor = area;
    m_outerSize->cancel();
    w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // The inside is the whole window now; a move would still subtract the
    // frame the window had while it was windowed.
    w->setGeometry(area);
    recordWindowMode(false);
    const bool saved = m_config.setWindowMode(Config::WindowMode::FullScreen); // see the top
    if (shown)
        w->show();
    return saved;
}

bool MainWindow::setWindowed()
{
    QWidget *w = this;
    const bool shown = w->isVisible();
    const QPoint pos = w->pos();
    const QRect area = screenAreaOf(w);
    m_laidOutFor = area;
    w->setWindowFlags(Qt::Window);
    w->move(pos);
    // Screen less 20 with the frame: the window, title bar and borders
    // included, stays on the screen.
    m_outerSize->resizeOuter(area.size() - QSize(20, 20));
    recordWindowMode(true);
    const bool saved = m_config.setWindowMode(Config::WindowMode::Windowed); // see the top
    if (shown)
        w->show();
    return saved;
}

// The mode is the window's own state; the menu's check marks follow it and
// are never read back.
void MainWindow::recordWindowMode(bool windowed)
{
    m_windowed = windowed;
    m_menu.windowed->setChecked(windowed);
    m_menu.fullScreen->setChecked(!windowed);
}
