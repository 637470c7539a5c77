#include "windowfront.h"

#include <xcb/xcb.h>

#include <QDeadlineTimer>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// A property's 32-bit values (windows, atoms, cardinals); empty when unset.
std::vector<uint32_t> values(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    auto cookie = xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<uint32_t> out;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        out.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return out;
}

bool viewable(xcb_connection_t *connection, xcb_window_t window)
{
    auto cookie = xcb_get_window_attributes(connection, window);
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(connection, cookie, nullptr);
    const bool mapped = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return mapped;
}

// The top-level windows: the window manager's list of its clients (which
// holds minimised ones too), or without a window manager the root's
// children that are shown.
std::vector<uint32_t> topLevels(xcb_connection_t *connection, xcb_window_t root, bool managed)
{
    if (managed)
        return values(connection, root, atom(connection, "_NET_CLIENT_LIST"));
    std::vector<uint32_t> shown;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (!tree)
        return shown;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
        if (viewable(connection, children[i]))
            shown.push_back(children[i]);
    std::free(tree);
    return shown;
}

// The process's main window: an ordinary window (no menu, no tool window
// such as the fireworks) that is not a box standing over another window.
xcb_window_t mainWindowOf(xcb_connection_t *connection, xcb_window_t root, bool managed, uint32_t pid)
{
    const xcb_atom_t pidAtom = atom(connection, "_NET_WM_PID");
    const xcb_atom_t typeAtom = atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t normal = atom(connection, "_NET_WM_WINDOW_TYPE_NORMAL");
    for (const uint32_t window : topLevels(connection, root, managed)) {
        if (values(connection, window, pidAtom) != std::vector<uint32_t> {pid})
            continue;
        const std::vector<uint32_t> types = values(connection, window, typeAtom);
        // A frameless window's list starts with the KDE override type.
        if (!types.empty() && std::find(types.begin(), types.end(), normal) == types.end())
            continue;
        if (!values(connection, window, XCB_ATOM_WM_TRANSIENT_FOR).empty())
            continue;
        return window;
    }
    return XCB_WINDOW_NONE;
}

// Asks the window whether its program takes events (_NET_WM_PING, which Qt
// answers from its event loop by sending the message back to the root
// window, to the clients that select its structure events there); false
// when no answer came within `answerMs`.
bool answers(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window, int answerMs)
{
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    // No made-up time stamp (a program may take it for the server's time);
    // a word the answer carries back unchanged tells this ping's answer
    // from others.
    const uint32_t cookie = uint32_t(QDeadlineTimer::current().deadlineNSecs()) | 1u;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols;
    event.data.data32[0] = ping;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = window;
    event.data.data32[3] = cookie;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
    const QDeadlineTimer deadline(answerMs);
    while (!deadline.hasExpired() && !xcb_connection_has_error(connection)) {
        while (xcb_generic_event_t *next = xcb_poll_for_event(connection)) {
            const auto *reply = reinterpret_cast<const xcb_client_message_event_t *>(next);
            const bool pong = (next->response_type & 0x7f) == XCB_CLIENT_MESSAGE && reply->window == root
                && reply->data.data32[0] == ping && reply->data.data32[2] == window
                && reply->data.data32[3] == cookie;
            std::free(next);
            if (pong)
                return true;
        }
        pollfd wait {xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&wait, 1, int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return false;
}

void activate(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window, bool managed)
{
    if (!managed) {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        return;
    }
    // Asked as a pager would (source 2): window managers that refuse an
    // application raising itself still obey the user's own tools.
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

WindowFront bringWindowOfProcessToFront(qint64 pid, int answerMs)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return WindowFront::NoWindow;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const bool managed = !values(connection, root, atom(connection, "_NET_SUPPORTING_WM_CHECK")).empty();
    const xcb_window_t window = mainWindowOf(connection, root, managed, uint32_t(pid));
    WindowFront result = WindowFront::NoWindow;
    if (window != XCB_WINDOW_NONE) {
        result = answers(connection, root, window, answerMs) ? WindowFront::Raised : WindowFront::NotAnswering;
        if (result == WindowFront::Raised)
            activate(connection, root, window, managed);
        // A round trip, so the request has reached the server before the
        // connection closes.
        xcb_get_input_focus_reply_t *sync = xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
        std::free(sync);
    }
    xcb_disconnect(connection);
    return result;
}
