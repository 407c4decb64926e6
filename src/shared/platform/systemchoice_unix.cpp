// Which adapters serve the running program: the same build runs on X11
// and on Wayland, and only the toolkit's platform at run time tells which.
#include "hotkey_portal.h"
#include "hotkey_x11.h"
#include "screengrabber_portal.h"
#include "screengrabber_qt.h"
#include "screengrabber_x11.h"
#include "windowplacement.h"
#include "x11connection.h"

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    if (xcb_connection_t* c = x11Connection()) return std::make_unique<X11ScreenGrabber>(c);
    if (placement::onWayland()) return std::make_unique<PortalScreenGrabber>();
    return std::make_unique<QtScreenGrabber>();
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    if (xcb_connection_t* c = x11Connection()) return std::make_unique<X11HotkeyService>(c);
    if (placement::onWayland()) return std::make_unique<PortalHotkeyService>();
    return std::make_unique<NullHotkeyService>();
}
