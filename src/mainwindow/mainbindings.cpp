// The binding table of the main window: every bound control event and the
// handler that serves it, one line each.
#include "mainwindow.h"

#include "core/roll.h"
#include "display/backgroundmusic.h"
#include "display/backgroundpicture.h"
#include "display/picturereplacement.h"
#include "display/wheellayout.h"
#include "lottery/passwordgate.h"
#include "editors/dragging.h"
#include "editors/optionspanel.h"
#include "editors/popupmenu.h"
#include "editors/titles.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QPushButton>

void MainWindow::bindEvents()
{
    bindRoll();
    bindMenu();
    bindPopups();
    bindCustomisation();
}

void MainWindow::bindRoll()
{
    MainControls &c = m_controls;
    Roll *roll = m_roll.get();
    connect(c.startButton, &QPushButton::clicked, this, [roll] { roll->startOrStop(); });
    connect(c.startCaption, &TransparentLabel::leftPressed, this, [roll] { roll->start(); });
    connect(c.stopCaption, &TransparentLabel::leftPressed, this, [roll] { roll->stop(); });
    connect(c.autoStopTimer, &IntervalTimer::tick, this, [roll] { roll->stop(); });
    connect(c.rollTimer, &IntervalTimer::tick, this, [roll] { roll->tick(); });
    connect(c.focusTimer, &IntervalTimer::tick, this, [&c] { c.startButton->setFocus(); });
}

void MainWindow::bindMenu()
{
    MainMenu &m = m_menu;
    WheelLayout *wheel = m_wheel.get();
    connect(m.prizeSettings, &QAction::triggered, this, [this] { m_gate->openPrizeSettings(); });
    connect(m.results, &QAction::triggered, this, [this] { m_gate->openResults(); });
    connect(m.publicDraw, &QAction::triggered, this, [this] { switchPublicMode(); });
    connect(m.enlarge, &QAction::triggered, this, [wheel] { wheel->enlargeStep(); });
    for (int k = 1; k <= 4; ++k)
        connect(m.styles[k - 1], &QAction::triggered, this, [wheel, k] { wheel->selectStyle(k); });
    connect(m.fullScreen, &QAction::triggered, this, [this] { m_windowModeUnsaved.check(setFullScreen()); });
    connect(m.windowed, &QAction::triggered, this, [this] { m_windowModeUnsaved.check(setWindowed()); });
    connect(m.nextScreen, &QAction::triggered, this, [this] { moveToNextScreen(); });
    connect(m.replaceBackground, &QAction::triggered, this, [this] { m_background->replace(); });
    connect(m.clearBackground, &QAction::triggered, this, [this] { m_background->clear(); });
    connect(m.replaceMusic, &QAction::triggered, this, [this] { m_music->replace(); });
    connect(m.enableMusic, &QAction::triggered, this, [this] { m_music->enable(); });
    connect(m.disableMusic, &QAction::triggered, this, [this] { m_music->disable(); });
    connect(m.help, &QAction::triggered, this, [] { popupmenu::showHelp(); });
    connect(m.about, &QAction::triggered, this, [] { popupmenu::showAbout(); });
    connect(m.exit, &QAction::triggered, this, [this] { exitWithConfirmation(); });
}

void MainWindow::bindPopups()
{
    // Eighteen elements open the same popup; the window itself is handled
    // in mousePressEvent.
    MainControls &c = m_controls;
    auto popup = [this](QWidget *w) {
        return [this, w](QPoint pos, int) { openPopup(w->mapToGlobal(pos)); };
    };
    connect(c.hotKeyLabel, &Label::rightPressed, this, popup(c.hotKeyLabel));
    connect(c.panelWheelSizeLabel, &Label::rightPressed, this, popup(c.panelWheelSizeLabel));
    connect(c.mainTitle, &TransparentLabel::rightPressed, this, popup(c.mainTitle));
    connect(c.subTitle, &TransparentLabel::rightPressed, this, popup(c.subTitle));
    connect(c.resultPicture, &PictureBox::rightPressed, this, popup(c.resultPicture));
    connect(c.face, &PictureBox::rightPressed, this, popup(c.face));
    connect(c.startCaption, &TransparentLabel::rightPressed, this, popup(c.startCaption));
    connect(c.stopCaption, &TransparentLabel::rightPressed, this, popup(c.stopCaption));
    for (PictureBox *slot : c.slots)
        connect(slot, &PictureBox::rightPressed, this, popup(slot));
    connect(c.wheelFrame, &ShapeBox::rightPressed, this, popup(c.wheelFrame));
}

void MainWindow::bindCustomisation()
{
    MainControls &c = m_controls;
    OptionsPanel *panel = m_optionsPanel.get();
    connect(m_menu.otherSettings, &QAction::triggered, this, [panel] { panel->open(); });
    connect(c.panelClose, &Label::leftPressed, this, [panel] { panel->close(); });
    connect(c.optionsPanel, &ShapeBox::leftPressed, this, [panel](QPoint pos, int) { panel->move(pos); });
    connect(c.saveButton, &QPushButton::clicked, this, [panel] { panel->save(); });

    Titles *titles = m_titles.get();
    connect(m_menu.mainTitle, &QAction::triggered, this, [titles] { titles->editMainTitle(); });
    connect(m_menu.subTitle, &QAction::triggered, this, [titles] { titles->editSubTitle(); });
    connect(m_menu.mainTitleFont, &QAction::triggered, this, [titles] { titles->chooseMainTitleFont(); });
    connect(m_menu.subTitleFont, &QAction::triggered, this, [titles] { titles->chooseSubTitleFont(); });

    ElementDragging *d = m_dragging.get();
    connect(c.mainTitle, &TransparentLabel::leftPressed, this, [d](QPoint p, int k) { d->moveMainTitle(p, k); });
    connect(c.subTitle, &TransparentLabel::leftPressed, this, [d](QPoint p, int k) { d->moveSubTitle(p, k); });
    connect(c.resultPicture, &PictureBox::leftPressed, this, [d](QPoint p, int k) { d->moveResultPicture(p, k); });
    connect(c.wheelFrame, &ShapeBox::leftPressed, this, [d](QPoint p, int k) { d->moveWheelByFrame(p, k); });
    connect(c.face, &PictureBox::leftPressed, this, [d](QPoint p, int k) { d->moveWheelByFace(p, k); });

    PictureReplacement *replacement = m_replacement.get();
    for (int slot = 1; slot <= 8; ++slot)
        connect(c.slots[slot - 1], &PictureBox::doubleClicked, this,
                [replacement, slot] { replacement->replace(slot); });
}
