#include "hotkey.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

namespace {

// Any id below 0xC000 is free for an application's own hot keys.
constexpr int kHotKeyId = 0x4C51;
constexpr UINT kVirtualKeyQ = 0x51;

} // namespace

// The key is registered for the thread rather than for the main window's
// handle: the handle changes whenever Qt recreates the native window (the
// border style switch does), and a thread message reaches the filter once,
// from the event dispatcher, never a second time from a window procedure.
class GlobalHotKey::NativeFilter final : public QAbstractNativeEventFilter
{
public:
    explicit NativeFilter(GlobalHotKey *owner) : m_owner(owner) {}

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (!msg || msg->message != WM_HOTKEY || msg->hwnd != nullptr || msg->wParam != WPARAM(kHotKeyId))
            return false;
        QMetaObject::invokeMethod(m_owner, &GlobalHotKey::activated, Qt::QueuedConnection);
        return true;
    }

private:
    GlobalHotKey *m_owner;
};

bool GlobalHotKey::registerGlobal()
{
    if (!QCoreApplication::instance())
        return false;
    // Fails when another program holds Shift+Q; the caller falls back.
    if (!RegisterHotKey(nullptr, kHotKeyId, MOD_SHIFT, kVirtualKeyQ))
        return false;
    m_filter = new NativeFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(m_filter);
    return true;
}

void GlobalHotKey::unregisterGlobal()
{
    if (!m_filter)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_filter);
    UnregisterHotKey(nullptr, kHotKeyId);
    delete m_filter;
    m_filter = nullptr;
}
