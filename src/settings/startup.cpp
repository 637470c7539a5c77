#include "startup.h"

#include "core/config.h"
#include "core/draw.h"
#include "display/backgroundmusic.h"
#include "display/backgroundpicture.h"
#include "display/prizepictures.h"
#include "display/wheellayout.h"
#include "settings/screenchoice.h"
#include "widgets/controls.h"
#include "widgets/fontsize.h"
#include "widgets/picturebox.h"
#include "widgets/screensize.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

// Left and top are tested and applied independently.
void applyPosition(const Config &config, QWidget *w, Config::Place place,
                   const HeldPositions &held = {})
{
    if (const auto it = held.find(place); it != held.end()) {
        w->move(it->second);
        return;
    }
    const Config::Position stored = config.position(place);
    if (stored.left)
        w->move(*stored.left, w->y());
    if (stored.top)
        w->move(w->x(), *stored.top);
}

void placeWindowAndWheel(StartupTargets &t)
{
    // The window goes to the stored screen (the primary one when none is
    // stored or it is not connected); its size is that screen's.
    const QRect area = screenArea(screenchoice::stored(t.config));
    t.controls.window->setGeometry(area);
    placeOnScreen(t.controls, t.config, area.size());
}

void applyOptions(StartupTargets &t)
{
    StartupControls &c = t.controls;
    c.effectsDisabledBox->setChecked(t.config.effectsDisabled());
    if (const std::optional<qint32> width = t.config.resultWidth()) {
        c.resultPicture->resize(*width, c.resultPicture->height());
        c.resultWidthEdit->setText(QString::number(c.resultPicture->width()));
    }
    if (const std::optional<qint32> height = t.config.resultHeight()) {
        c.resultPicture->resize(c.resultPicture->width(), *height);
        c.resultHeightEdit->setText(QString::number(c.resultPicture->height()));
    }
}

void applyModeAndMusic(StartupTargets &t)
{
    StartupControls &c = t.controls;
    if (t.config.windowMode() == Config::WindowMode::Windowed)
        t.setWindowed();
    else
        t.setFullScreen();
    t.music.applyStoredSwitch();
    c.autoStopEdit->setText(t.config.autoStop());
    const QString speed = t.config.rollSpeed();
    if (!speed.isEmpty())
        c.rollSpeedEdit->setText(speed);
    t.wheel.applyStoredStyle();
}

void applyTitles(StartupTargets &t)
{
    const QString main = t.config.title(Config::Title::Main);
    if (!main.isEmpty())
        t.controls.mainTitle->setText(main);
    const QString sub = t.config.title(Config::Title::Sub);
    if (!sub.isEmpty())
        t.controls.subTitle->setText(sub);
}

void applyWheelSize(StartupTargets &t)
{
    const std::optional<Config::TypedNumber> n = t.config.wheelSize();
    if (!n)
        return;
    t.controls.wheelSizeEdit->setText(n->text);
    t.wheel.enlarge(n->number);
}

void applyTitleFont(const Config &config, TransparentLabel *label, Config::Title which)
{
    const std::optional<Config::TitleFont> stored = config.titleFont(which);
    if (!stored)
        return;
    QFont font = label->font();
    font.setFamily(stored->face);
    // Stored in points; shown at the pixel size those points have at 96 dpi.
    fontsize::setPoints(font, stored->points);
    label->setFont(font);
    label->setTextColour(QColor(stored->colour.red, stored->colour.green, stored->colour.blue));
}

} // namespace

void placeOnScreen(const StartupControls &c, const Config &config, const QSize &screen,
                   const HeldPositions &held)
{
    // Centred as at start-up, before any enlargement: the wheel grows to the
    // right and down from there, wherever the layout is made again.
    const int designWidth = WheelGeometry::design().frame.width();
    c.wheelFrame->move((screen.width() - designWidth) / 2, c.wheelFrame->y());
    for (TransparentLabel *title : {c.mainTitle, c.subTitle}) {
        title->resize(screen.width(), title->height());
        title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    applyPosition(config, c.wheelFrame, Config::Place::Wheel, held);
    applyPosition(config, c.mainTitle, Config::Place::MainTitle, held);
    applyPosition(config, c.subTitle, Config::Place::SubTitle, held);
    applyPosition(config, c.resultPicture, Config::Place::ResultPicture, held);
}

void runStartup(StartupTargets &t)
{
    if (t.registerHotKey)
        t.registerHotKey();
    t.pictures.ensureFolder();
    placeWindowAndWheel(t);
    applyOptions(t);
    applyModeAndMusic(t);
    t.pictures.loadAll();
    applyTitles(t);
    t.draw.setTable(t.config.prizeTable());
    applyWheelSize(t);
    applyTitleFont(t.config, t.controls.mainTitle, Config::Title::Main);
    applyTitleFont(t.config, t.controls.subTitle, Config::Title::Sub);
    t.background.load();
    t.wheel.clipRound();
}
