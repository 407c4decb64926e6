// Which adapters serve the running program: the same build runs on X11
// and on Wayland, and only the toolkit's platform at run time tells which.
#include "hotkey_portal.h"
#include "hotkey_x11.h"
#include "screengrabber_portal.h"
#include "screengrabber_qt.h"
#include "screengrabber_x11.h"
#include "windowplacement.h"
#include "x11connection.h"

#include <QtGlobal>

namespace {
// A Wayland desktop, whether the program talks to it directly or through
// its X server (Xwayland), which sees only the desktop's X11 programs and
// whose keys reach the program only while one of them has the focus.
bool onWaylandDesktop() {
    return placement::onWayland() || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
} // namespace

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    if (onWaylandDesktop()) return std::make_unique<PortalScreenGrabber>();
    if (xcb_connection_t* c = x11Connection()) return std::make_unique<X11ScreenGrabber>(c);
    return std::make_unique<QtScreenGrabber>();
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    if (onWaylandDesktop()) return std::make_unique<PortalHotkeyService>();
    if (xcb_connection_t* c = x11Connection()) return std::make_unique<X11HotkeyService>(c);
    return std::make_unique<NullHotkeyService>();
}
