#include "startup.h"

#include "core/config.h"
#include "display/wheellayout.h"
#include "editors/optionspanel.h"
#include "editors/screenchoice.h"
#include "widgets/controls.h"
#include "widgets/fontsize.h"
#include "widgets/picturebox.h"
#include "widgets/screensize.h"


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

void placeOnStoredScreen(const StartupControls &c, const Config &config)
{
    const QRect area = screenArea(screenchoice::stored(config));
    c.window->setGeometry(area);
    placeOnScreen(c, config, area.size());
}

void applyOptions(const StartupControls &c, const Config &config, OptionsPanel &panel)
{
    PictureBox *result = c.resultPicture;
    DisplayOptions options = config.displayOptions();
    result->resize(options.resultWidthPx(), result->height());
    options.resultWidth = QString::number(result->width());
    result->resize(result->width(), options.resultHeightPx());
    options.resultHeight = QString::number(result->height());
    panel.showOptions(options);
}

void applyTitles(const StartupControls &c, const Config &config)
{
    const QString main = config.title(Config::Title::Main);
    if (!main.isEmpty())
        c.mainTitle->setText(main);
    const QString sub = config.title(Config::Title::Sub);
    if (!sub.isEmpty())
        c.subTitle->setText(sub);
}

void applyWheelSize(WheelLayout &wheel, const OptionsPanel &panel)
{
    wheel.enlarge(panel.options().wheelSteps());
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
