// On X11 the always-on-top band and being on the screen at all are the
// window manager's to grant: a window asks with a message to the root
// window, which the window manager reads for a window it manages (one whose
// map request went before the message on the same connection included).
// Elsewhere (Wayland, or where Qt's ways alone are asked for) Qt's ways
// are what is left.
#include "shared/platform/stacking.h"

#include "shared/platform/systemchoice.h"
#include "shared/platform/x11connection.h"

#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    xcb_query_tree_reply_t* reply = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    const xcb_window_t root = reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(reply);
    return root;
}

// A message to the window manager about a window of this program.
void tellWindowManager(QWidget* window, const char* type, const std::uint32_t (&data)[3]) {
    xcb_connection_t* c = x11Connection();
    const auto id = xcb_window_t(window->winId());
    const xcb_window_t root = rootOf(c, id);
    if (root == XCB_WINDOW_NONE) return;
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = internAtom(c, type);
    for (int i = 0; i < 3; ++i)
        message.data.data32[i] = data[i];
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

bool onX11(const QWidget* window) {
    return systemChoice().ownCalls() == WindowSystem::X11 &&
           window->testAttribute(Qt::WA_WState_Created);
}

} // namespace

void restack(QWidget* window, bool topmost) {
    if (onX11(window)) {
        enum : std::uint32_t { Remove = 0, Add = 1 };
        xcb_connection_t* c = x11Connection();
        tellWindowManager(window, "_NET_WM_STATE",
                          {topmost ? Add : Remove, internAtom(c, "_NET_WM_STATE_ABOVE"),
                           internAtom(c, "_NET_WM_STATE_STAYS_ON_TOP")});
    }
    if (topmost) window->raise();
}

void bringBack(QWidget* window) {
    if (!onX11(window)) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        return;
    }
    // Qt keeps its activation of an unmapped window until the
    // window is mapped, which never comes for one the window manager hid.
    // Asked as a pager asks, for a window the user has just called up, the
    // window manager maps it again and leaves "show desktop".
    enum : std::uint32_t { FromPager = 2, CurrentTime = 0 };
    tellWindowManager(window, "_NET_ACTIVE_WINDOW", {FromPager, CurrentTime, 0});
}
