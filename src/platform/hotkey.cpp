#include "hotkey.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

GlobalHotKey::GlobalHotKey(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_global = registerGlobal();
}

GlobalHotKey::~GlobalHotKey()
{
    unregisterGlobal();
}

bool GlobalHotKey::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}
