#include "screenplace.h"

ScreenPlace ScreenPlace::fromText(const QString &text)
{
    const qsizetype at = text.lastIndexOf(u'@');
    if (at > 0) {
        const QStringView corner = QStringView(text).mid(at + 1);
        const qsizetype comma = corner.indexOf(u',');
        bool xOk = false;
        bool yOk = false;
        const int x = comma > 0 ? corner.left(comma).toInt(&xOk) : 0;
        const int y = comma > 0 ? corner.mid(comma + 1).toInt(&yOk) : 0;
        if (xOk && yOk)
            return {text.left(at), QPoint(x, y)};
    }
    return {text, std::nullopt};
}

QString ScreenPlace::toText() const
{
    if (!topLeft)
        return name;
    return QStringLiteral("%1@%2,%3").arg(name).arg(topLeft->x()).arg(topLeft->y());
}

namespace {

// The model's name without the " (2)" that Windows adds for a second
// monitor of one model, in the order it happens to list them.
QStringView model(QStringView name)
{
    if (!name.endsWith(u')'))
        return name;
    const qsizetype open = name.lastIndexOf(u" (");
    if (open < 0)
        return name;
    const QStringView number = name.mid(open + 2).chopped(1);
    bool ok = false;
    static_cast<void>(number.toUInt(&ok));
    return ok ? name.left(open) : name;
}

} // namespace

int ScreenPlace::matchIn(const QList<ScreenPlace> &screens) const
{
    if (name.isEmpty())
        return -1;
    int sameModelThere = -1;
    int sameName = -1;
    for (int i = 0; i < int(screens.size()); ++i) {
        const ScreenPlace &screen = screens[i];
        const bool there = topLeft && screen.topLeft == topLeft;
        if (screen.name == name && there)
            return i;
        if (there && sameModelThere < 0 && model(screen.name) == model(name))
            sameModelThere = i;
        if (screen.name == name && sameName < 0)
            sameName = i;
    }
    return sameModelThere >= 0 ? sameModelThere : sameName;
}
