// Start-up: the stored settings applied to the window, one step a line, in
// the order they run. A step that comes later may rely on one above it: the
// window is on its screen before its mode frames it, the pictures' folder is
// made before they are loaded, the wheel is clipped once its size and style
// are set, and the public commitment carries the prize table.
#include "mainwindow.h"

#include "views.h"

#include "display/backgroundmusic.h"
#include "display/backgroundpicture.h"
#include "display/prizepictures.h"
#include "display/wheellayout.h"
#include "editors/startup.h"
#include "widgets/screenwatch.h"

#include <QAction>

void MainWindow::startUp()
{
    const StartupControls controls = views::startup(m_controls);
    // Read once: the mode cannot change during an event.
    if (m_config.publicDraw())
        startPublicMode();
    // In public mode Shift+Q is neither registered nor caught in the window.
    if (!m_public)
        registerHotKey();
    m_pictures->ensureFolder();
    placeOnStoredScreen(controls, m_config);
    applyOptions(controls, m_config, *m_optionsPanel);
    applyStoredWindowMode();
    m_music->applyStoredSwitch();
    m_wheel->applyStoredStyle();
    m_pictures->loadAll();
    applyTitles(controls, m_config);
    m_draw.setTable(m_config.prizeTable());
    applyWheelSize(*m_wheel, *m_optionsPanel);
    applyTitleFont(m_config, controls.mainTitle, Config::Title::Main);
    applyTitleFont(m_config, controls.subTitle, Config::Title::Sub);
    m_background->load();
    m_wheel->clipRound();
    // The commitment carries the box, which needs the prize table read.
    if (m_keys)
        m_history.commit();
    watchScreens();
    m_menu.publicDraw->setChecked(m_config.publicDraw());
}

// From now on a screen that comes, goes or changes lays the window out again.
void MainWindow::watchScreens()
{
    m_screenWatch = new ScreenWatch(this);
    connect(m_screenWatch, &ScreenWatch::changed, this, [this] { followScreens(); });
    followScreens(); // the menu entry's state; the layout is made already
}
