#include "hotkey.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMetaObject>

#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr xcb_keysym_t kKeysymLowerQ = 0x71;
constexpr xcb_keysym_t kKeysymUpperQ = 0x51;
constexpr uint16_t kShift = XCB_MOD_MASK_SHIFT;
// CapsLock and NumLock (Mod2 on every common keyboard map) change the
// modifier state the server matches a grab against, so each combination
// needs a grab of its own.
constexpr uint16_t kIgnored[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr uint16_t kChords = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_3
    | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

// Every keycode whose unshifted or shifted symbol is Q in the current map.
std::vector<xcb_keycode_t> keycodesForQ(xcb_connection_t *connection)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto cookie = xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count));
    xcb_get_keyboard_mapping_reply_t *reply = xcb_get_keyboard_mapping_reply(connection, cookie, nullptr);
    std::vector<xcb_keycode_t> codes;
    if (!reply)
        return codes;
    const int perCode = reply->keysyms_per_keycode;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
    for (int code = 0; perCode > 0 && (code + 1) * perCode <= total; ++code) {
        for (int level = 0; level < perCode && level < 2; ++level) {
            const xcb_keysym_t sym = syms[code * perCode + level];
            if (sym == kKeysymLowerQ || sym == kKeysymUpperQ) {
                codes.push_back(xcb_keycode_t(first + code));
                break;
            }
        }
    }
    std::free(reply);
    return codes;
}

} // namespace

// Holds the grabs and reads the key presses they deliver to the root window.
class GlobalHotKey::NativeFilter final : public QAbstractNativeEventFilter
{
public:
    NativeFilter(GlobalHotKey *owner, xcb_connection_t *connection)
        : m_owner(owner), m_connection(connection)
    {
        // Every screen's root: the key counts whichever screen has the focus.
        auto it = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (; it.rem > 0; xcb_screen_next(&it))
            m_roots.push_back(it.data->root);
    }

    bool grab();
    void ungrab();
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    template <typename T>
    static bool contains(const std::vector<T> &list, T value)
    {
        for (const T &item : list)
            if (item == value)
                return true;
        return false;
    }

    GlobalHotKey *m_owner;
    xcb_connection_t *m_connection;
    std::vector<xcb_window_t> m_roots;
    std::vector<xcb_keycode_t> m_codes;
};

bool GlobalHotKey::NativeFilter::grab()
{
    m_codes = keycodesForQ(m_connection);
    std::vector<xcb_void_cookie_t> cookies;
    for (xcb_window_t root : m_roots)
        for (xcb_keycode_t code : m_codes)
            for (uint16_t extra : kIgnored)
                cookies.push_back(xcb_grab_key_checked(m_connection, 0, root, kShift | extra, code,
                                                       XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    // Every request is checked, so no error is left behind for Qt to report;
    // a key already grabbed by another program answers BadAccess.
    bool ok = !cookies.empty();
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            ok = false;
            std::free(error);
        }
    }
    if (!ok)
        ungrab();
    return ok;
}

void GlobalHotKey::NativeFilter::ungrab()
{
    for (xcb_window_t root : m_roots)
        for (xcb_keycode_t code : m_codes)
            for (uint16_t extra : kIgnored)
                xcb_ungrab_key(m_connection, code, root, kShift | extra);
    xcb_flush(m_connection);
    m_codes.clear();
}

bool GlobalHotKey::NativeFilter::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (!contains(m_roots, press->event) || !contains(m_codes, press->detail)
        || (press->state & kChords) != kShift)
        return false;
    // Queued, so the handler runs from the event loop rather than from inside
    // the platform's event processing.
    QMetaObject::invokeMethod(m_owner, &GlobalHotKey::activated, Qt::QueuedConnection);
    return true;
}

bool GlobalHotKey::registerGlobal()
{
#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    auto *filter = new NativeFilter(this, connection);
    if (!filter->grab()) {
        delete filter;
        return false;
    }
    m_filter = filter;
    qGuiApp->installNativeEventFilter(m_filter);
    return true;
#else
    // A Qt built without its X11 platform cannot be on an X server.
    return false;
#endif
}

void GlobalHotKey::unregisterGlobal()
{
    if (!m_filter)
        return;
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(m_filter);
    m_filter->ungrab();
    delete m_filter;
    m_filter = nullptr;
}
