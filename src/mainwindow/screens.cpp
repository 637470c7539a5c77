// The screen the main window shows on. Full screen keeps to the stored
// screen (the primary one while that is not connected) and goes back to it
// when it is connected again; a framed window stays on the screen it is on,
// wherever the operator has dragged it. Whenever a screen comes, goes or
// changes its size or scale, the window is laid out again for its screen.
#include "mainwindow.h"

#include "views.h"

#include "display/wheellayout.h"
#include "editors/dragging.h"
#include "editors/screenchoice.h"
#include "editors/startup.h"
#include "widgets/outersize.h"
#include "widgets/screensize.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

void MainWindow::moveToNextScreen()
{
    QScreen *next = screenchoice::next(screenOf(this));
    if (!next)
        return;
    // The move happens at once; a failed write keeps it for this run and
    // says so, as 全屏 and 窗口 do.
    m_windowModeUnsaved.check(screenchoice::remember(m_config, next));
    layOutOnScreen(next);
}

void MainWindow::followScreens()
{
    m_menu.nextScreen->setEnabled(QGuiApplication::screens().size() > 1);
    const bool windowed = m_windowed;
    QScreen *screen = windowed ? screenOf(this) : screenchoice::stored(m_config);
    if (!screen)
        return;
    const QRect area = screen->geometry();
    if (area == m_laidOutFor && (windowed || geometry() == area))
        return;
    layOutOnScreen(screen);
}

void MainWindow::layOutOnScreen(QScreen *screen)
{
    const QRect area = screenArea(screen);
    m_laidOutFor = area;
    if (m_windowed) {
        move(area.topLeft());
        m_outerSize->resizeOuter(area.size() - QSize(20, 20));
    } else {
        setGeometry(area);
    }
    placeOnScreen(views::startup(m_controls), m_config, area.size(),
                  m_dragging ? m_dragging->heldPositions() : HeldPositions{});
    m_wheel->clipRound();
    update();
}
