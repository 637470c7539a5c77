#include "screenchoice.h"

#include "core/config.h"

#include <QGuiApplication>
#include <QScreen>

namespace screenchoice {

namespace {

ScreenPlace placeOf(const QScreen *screen)
{
    return {screen->name(), screen->geometry().topLeft()};
}

} // namespace

QScreen *stored(const Config &config)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<ScreenPlace> places;
    for (const QScreen *screen : screens)
        places.append(placeOf(screen));
    const int at = config.screen().matchIn(places);
    return at >= 0 ? screens.at(at) : QGuiApplication::primaryScreen();
}

QScreen *next(QScreen *current)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return current;
    const qsizetype at = screens.indexOf(current);
    return screens.at((at + 1) % screens.size()); // not found: the first one
}

bool remember(Config config, const QScreen *screen)
{
    return screen && config.setScreen(placeOf(screen));
}

} // namespace screenchoice
