#include "screenchoice.h"

#include "core/keys.h"
#include "core/settingsfile.h"

#include <QGuiApplication>
#include <QScreen>

namespace screenchoice {

QScreen *stored(const SettingsFile &settings)
{
    const QString name = settings.readZbt(keys::kScreen);
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

bool remember(SettingsFile &settings, const QScreen *screen)
{
    return screen && settings.writeZbt(keys::kScreen, screen->name());
}

} // namespace screenchoice
