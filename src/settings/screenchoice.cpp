#include "screenchoice.h"

#include "core/config.h"

#include <QGuiApplication>
#include <QScreen>

namespace screenchoice {

QScreen *stored(const Config &config)
{
    const QString name = config.screenName();
    if (!name.isEmpty()) {
        for (QScreen *screen : QGuiApplication::screens())
            if (screen->name() == name)
                return screen;
    }
    return QGuiApplication::primaryScreen();
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
    return screen && config.setScreenName(screen->name());
}

} // namespace screenchoice
