// Which adapters serve the running program: the same build runs on X11
// and on Wayland, and only the session at run time tells which.
#include "hotkey_portal.h"
#include "hotkey_x11.h"
#include "screengrabber_portal.h"
#include "screengrabber_qt.h"
#include "screengrabber_x11.h"
#include "systemchoice.h"
#include "windowplacement.h"
#include "x11connection.h"

namespace {

ServiceFamily family() {
    switch (forcedServiceFamily()) {
    case ServiceFamily::X11:
        // Only where the program talks to an X server.
        if (x11Connection()) return ServiceFamily::X11;
        break;
    case ServiceFamily::Portal:
        return ServiceFamily::Portal;
    case ServiceFamily::Toolkit:
        return ServiceFamily::Toolkit;
    case ServiceFamily::Found:
        break;
    }
    if (placement::onWaylandDesktop()) return ServiceFamily::Portal;
    return x11Connection() ? ServiceFamily::X11 : ServiceFamily::Toolkit;
}

} // namespace

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    switch (family()) {
    case ServiceFamily::Portal:
        return std::make_unique<PortalScreenGrabber>();
    case ServiceFamily::X11:
        return std::make_unique<X11ScreenGrabber>(x11Connection());
    default:
        return std::make_unique<QtScreenGrabber>();
    }
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    switch (family()) {
    case ServiceFamily::Portal:
        return std::make_unique<PortalHotkeyService>();
    case ServiceFamily::X11:
        return std::make_unique<X11HotkeyService>(x11Connection());
    default:
        return std::make_unique<NullHotkeyService>();
    }
}
