#include "mainwindow.h"

#include "views.h"

#include "core/roll.h"
#include "display/backgroundmusic.h"
#include "display/backgroundpicture.h"
#include "display/picturereplacement.h"
#include "display/prizepictures.h"
#include "display/wheellayout.h"
#include "display/wineffects.h"
#include "lottery/publiccaption.h"
#include "lottery/pendingsaves.h"
#include "lottery/rollscreen.h"
#include "lottery/passwordgate.h"
#include "platform/gbkcodec.h"
#include "platform/sound.h"
#include "platform/systemrandom.h"
#include "editors/dragging.h"
#include "editors/optionspanel.h"
#include "editors/popupmenu.h"
#include "editors/titles.h"
#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/fontsize.h"
#include "widgets/outersize.h"
#include "widgets/picturebox.h"
#include "widgets/statusnotice.h"
#include "widgets/messagebox.h"
#include "widgets/unstorablenotice.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

MainWindow::MainWindow(const QString &runDir, std::unique_ptr<Sound> sound, QWidget *parent)
    : QWidget(parent)
    , m_settings(runDir, gbkCodec())
    , m_history(m_settings)
    , m_sound(std::move(sound))
{
    // A held file never stalls a roll: the window's thread tries once, and
    // a write that finds the file held waits in memory for the worker
    // (PendingSaves). Before the first file is read.
    m_settings.setWait(PendingSaves::kWaitMs);
    tellWhenFilesAreConverted();
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Lunora软件V2.0"));
    setGeometry(50, 50, 778, 677);
    buildParts(runDir);
    bindEvents();
    startUp();
}

MainWindow::~MainWindow()
{
    m_effects->closeWinEffect();
}

// A file converted from UTF-8 is told once, after the write that did it.
void MainWindow::tellWhenFilesAreConverted()
{
    m_settings.setConvertedHandler([this](const SettingsFile::Converted &converted) {
        const QString text = unstorablenotice::convertedText(
            QFileInfo(m_settings.path(converted.file)).fileName(),
            QFileInfo(converted.copyPath).fileName(), converted.unstorable);
        QMetaObject::invokeMethod(this, [text] { messagebox::inform(text); }, Qt::QueuedConnection);
    });
}

// The controls, the menu and every subsystem, each on the view it works on.
void MainWindow::buildParts(const QString &runDir)
{
    m_controls = buildMainLayout(this);
    m_menu = buildMainMenu(this);
    m_pictures = std::make_unique<PrizePictures>(runDir, m_controls.slots);
    m_wheel = std::make_unique<WheelLayout>(views::wheel(m_controls, m_menu), m_config);
    m_background = std::make_unique<BackgroundPicture>(runDir, this, m_controls.resultPicture);
    m_music = std::make_unique<BackgroundMusic>(m_config, *m_sound, m_menu.enableMusic,
                                                m_menu.disableMusic, this);
    m_effects = new WinEffects(this);
    m_outerSize = new OuterSize(this);
    m_rollView = std::make_unique<RollScreen>(views::roll(m_controls), *m_pictures, *m_music, *m_effects, *m_sound);
    m_notice = new StatusNotice(this);
    m_pendingSaves = std::make_unique<PendingSaves>(m_history, m_settings, *m_notice);
    m_rollView->setPendingSaves(m_pendingSaves.get());
    m_rollView->setNotice(m_notice);
    m_roll = std::make_unique<Roll>(*m_rollView, m_settings, m_history, m_draw);
    m_gate = std::make_unique<PasswordGate>(m_settings, m_history, m_draw, [this] {
        std::array<QByteArray, 8> pictures;
        for (int i = 0; i < 8; ++i)
            pictures[i] = m_controls.slots[i]->picture();
        return pictures;
    });
    // The font dialog first offers the main title's design font, in the
    // points it lists its sizes in.
    m_fontDialog = std::make_unique<FontDialog>(
        FontChoice{fontsize::inPoints(m_controls.mainTitle->font()), m_controls.mainTitle->textColour()});
    // The options in the panel's boxes are the ones in force, saved or not.
    m_optionsPanel = std::make_unique<OptionsPanel>(
        views::options(m_controls), m_config, *m_wheel,
        [this](const DisplayOptions &options) { m_rollView->setOptions(options); });
    m_titles = std::make_unique<Titles>(views::titles(m_controls), m_config, *m_fontDialog, this);
    m_dragging = std::make_unique<ElementDragging>(views::dragging(m_controls), m_config, *m_wheel);
    m_replacement = std::make_unique<PictureReplacement>(*m_pictures, this);
}

// Public draws take no designation, whatever path a Shift+Q comes by.
void MainWindow::armDesignation()
{
    if (!m_public)
        m_roll->armDesignation();
}

void MainWindow::openPopup(const QPoint &globalPos)
{
    m_menu.root->popup(globalPos);
}

void MainWindow::exitWithConfirmation()
{
    if (!popupmenu::confirmExit())
        return;
    exitAfterLastSaves();
}

// What waits for a held file gets its last chance before the program ends.
void MainWindow::exitAfterLastSaves()
{
    m_closing = true;
    m_effects->closeWinEffect();
    m_pendingSaves->finish();
    QCoreApplication::exit(0);
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_background->paint(painter, event->rect());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing || popupmenu::confirmExit()) {
        event->accept();
        if (!m_closing)
            exitAfterLastSaves();
        return;
    }
    event->ignore();
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        openPopup(event->globalPosition().toPoint());
    event->accept();
}
