// On X11 the always-on-top band is a state the window manager keeps: a
// window asks for it with a _NET_WM_STATE message, which the window manager
// reads for a mapped window (and for one whose map request went before it
// on the same connection). Elsewhere (Wayland) raising is what is left.
#include "platform/stacking.h"

#include "platform/x11connection.h"

#include <QWidget>

#include <xcb/xcb.h>

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

} // namespace

void restack(QWidget* window, bool topmost) {
    xcb_connection_t* c = x11Connection();
    if (c && window->testAttribute(Qt::WA_WState_Created)) {
        const auto id = xcb_window_t(window->winId());
        const xcb_window_t root = rootOf(c, id);
        if (root != XCB_WINDOW_NONE) {
            enum : std::uint32_t { Remove = 0, Add = 1, FromApplication = 1 };
            xcb_client_message_event_t message;
            std::memset(&message, 0, sizeof message);
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = id;
            message.type = internAtom(c, "_NET_WM_STATE");
            message.data.data32[0] = topmost ? Add : Remove;
            message.data.data32[1] = internAtom(c, "_NET_WM_STATE_ABOVE");
            message.data.data32[2] = internAtom(c, "_NET_WM_STATE_STAYS_ON_TOP");
            message.data.data32[3] = FromApplication;
            xcb_send_event(c, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&message));
            xcb_flush(c);
        }
    }
    if (topmost) window->raise();
}
