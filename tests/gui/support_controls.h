#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

// The window's controls, found by their names as an operator's script finds
// them: exactly one object of that kind and name, or the test stops there
// and names what it looked for.
template <class T>
T &control(const QObject &root, const QString &name)
{
    const auto found = root.findChildren<T *>(name);
    if (found.size() != 1)
        qFatal("%d controls named %s of kind %s", int(found.size()), name.toUtf8().constData(),
               T::staticMetaObject.className());
    return *found.first();
}
