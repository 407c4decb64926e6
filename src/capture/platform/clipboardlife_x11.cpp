// X11: a clipboard manager announces itself by owning CLIPBOARD_MANAGER;
// Qt hands it the clipboard's content when the application ends, whichever
// family serves the rest. On Wayland a manager takes the content over by
// taking the clipboard.
#include "capture/clipboardlife.h"

#include "shared/platform/systemchoice.h"
#include "shared/platform/x11connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace clipboardlife {

bool outlivesOwner() {
    const WindowSystem windows = systemChoice().windows;
    if (windows != WindowSystem::X11 && windows != WindowSystem::WaylandDesktopX11) return false;
    xcb_connection_t* c = x11Connection();
    static const char name[] = "CLIPBOARD_MANAGER";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(name), name), nullptr);
    if (!atom) return false;
    const xcb_atom_t a = atom->atom;
    std::free(atom);
    if (a == XCB_ATOM_NONE) return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, a), nullptr);
    const bool managed = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return managed;
}

void handOver() {
    // Qt asks the manager to save the content as the application
    // object goes.
}

} // namespace clipboardlife
