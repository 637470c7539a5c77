#include "startup.h"

#include "core/keys.h"
#include "core/draw.h"
#include "core/settingsfile.h"
#include "core/values.h"
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
void applyPosition(const SettingsFile &s, QWidget *w, QStringView leftKey, QStringView topKey)
{
    const QString left = s.readZbt(leftKey);
    if (!left.isEmpty())
        w->move(values::textToInt(left), w->y());
    const QString top = s.readZbt(topKey);
    if (!top.isEmpty())
        w->move(w->x(), values::textToInt(top));
}

void placeWindowAndWheel(StartupTargets &t)
{
    // The window goes to the stored screen (the primary one when none is
    // stored or it is not connected); its size is that screen's.
    const QRect area = screenArea(screenchoice::stored(t.settings));
    t.controls.window->setGeometry(area);
    placeOnScreen(t.controls, t.settings, area.size());
}

void applyOptions(StartupTargets &t)
{
    StartupControls &c = t.controls;
    const SettingsFile &s = t.settings;
    c.effectsDisabledBox->setChecked(values::isTrueFlag(s.readZbt(keys::kEffectsDisabled)));
    const QString width = s.readZbt(keys::kResultWidth);
    if (!width.isEmpty()) {
        c.resultPicture->resize(qMax(0, values::textToInt(width)), c.resultPicture->height());
        c.resultWidthEdit->setText(QString::number(c.resultPicture->width()));
    }
    const QString height = s.readZbt(keys::kResultHeight);
    if (!height.isEmpty()) {
        c.resultPicture->resize(c.resultPicture->width(), qMax(0, values::textToInt(height)));
        c.resultHeightEdit->setText(QString::number(c.resultPicture->height()));
    }
}

void applyModeAndMusic(StartupTargets &t)
{
    StartupControls &c = t.controls;
    const SettingsFile &s = t.settings;
    if (s.readZbt(keys::kWindowMode) == keys::kWindowed)
        t.setWindowed();
    else
        t.setFullScreen();
    t.music.applyStoredSwitch();
    const QString autoStop = s.readZbt(keys::kAutoStop);
    c.autoStopEdit->setText(!autoStop.isEmpty() && autoStop != u"0" ? autoStop : QStringLiteral("0"));
    const QString speed = s.readZbt(keys::kRollSpeed);
    if (!speed.isEmpty())
        c.rollSpeedEdit->setText(speed);
    t.wheel.applyStoredStyle();
}

void applyTitles(StartupTargets &t)
{
    const QString main = t.settings.readZbt(keys::kMainTitle);
    if (!main.isEmpty())
        t.controls.mainTitle->setText(main);
    const QString sub = t.settings.readZbt(keys::kSubTitle);
    if (!sub.isEmpty())
        t.controls.subTitle->setText(sub);
}

void applyWheelSize(StartupTargets &t)
{
    const QString n = t.settings.readZbt(keys::kWheelSize);
    if (n.isEmpty())
        return;
    t.controls.wheelSizeEdit->setText(n);
    t.wheel.enlarge(values::textToInt(n));
}

// The three font keys apply only when the colour key is present.
void applyTitleFont(const SettingsFile &s, TransparentLabel *label, QStringView faceKey,
                    QStringView sizeKey, QStringView colourKey)
{
    const QString colour = s.read(DataFile::Config, keys::kYanse, colourKey);
    if (colour.isEmpty())
        return;
    QFont font = label->font();
    font.setFamily(s.read(DataFile::Config, keys::kYanse, faceKey));
    // Stored in points; shown at the pixel size those points have at 96 dpi.
    fontsize::setPoints(font, qBound(1, values::textToInt(s.read(DataFile::Config, keys::kYanse, sizeKey)), 1000));
    label->setFont(font);
    const quint32 bgr = quint32(values::textToInt(colour));
    label->setTextColour(QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff));
}

} // namespace

void placeOnScreen(const StartupControls &c, const SettingsFile &settings, const QSize &screen)
{
    // Centred as at start-up, before any enlargement: the wheel grows to the
    // right and down from there, wherever the layout is made again.
    const int designWidth = WheelGeometry::design().frame.width();
    c.wheelFrame->move((screen.width() - designWidth) / 2, c.wheelFrame->y());
    for (TransparentLabel *title : {c.mainTitle, c.subTitle}) {
        title->resize(screen.width(), title->height());
        title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    applyPosition(settings, c.wheelFrame, keys::kWheelLeft, keys::kWheelTop);
    applyPosition(settings, c.mainTitle, keys::kMainTitleLeft, keys::kMainTitleTop);
    applyPosition(settings, c.subTitle, keys::kSubTitleLeft, keys::kSubTitleTop);
    applyPosition(settings, c.resultPicture, keys::kResultLeft, keys::kResultTop);
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
    t.draw.setTable(PrizeTable::fromSettings(t.settings));
    applyWheelSize(t);
    applyTitleFont(t.settings, t.controls.mainTitle, keys::kMainTitleFont, keys::kMainTitleFontSize,
                   keys::kMainTitleFontColour);
    applyTitleFont(t.settings, t.controls.subTitle, keys::kSubTitleFont, keys::kSubTitleFontSize,
                   keys::kSubTitleFontColour);
    t.background.load();
    t.wheel.clipRound();
}
