// Which adapters serve the running program: the same build runs on X11
// and on Wayland, and only the session at run time tells which. On a
// Wayland desktop the portals read the screen and give the key, also to
// the program started on the desktop's X server (Xwayland), whose X server
// sees only the desktop's X11 programs.
#include "shared/platform/compositorsync_wayland.h"
#include "shared/platform/hotkey_portal.h"
#include "shared/platform/hotkey_x11.h"
#include "shared/platform/screengrabber_portal.h"
#include "shared/platform/screengrabber_qt.h"
#include "shared/platform/screengrabber_x11.h"
#include "shared/platform/systemchoice.h"
#include "shared/platform/x11connection.h"

#include <QDebug>

namespace systemchoice {

SystemChoice decide(const SessionFacts& facts) {
    const bool onWayland = facts.qtPlatform.startsWith(QLatin1String("wayland"));
    NamedFamily named = namedServiceFamily(facts.services);
    if (named == NamedFamily::X11 && !facts.x11Server) {
        qWarning() << "ZUZ_SERVICES: x11 needs Qt on an X server; ignored";
        named = NamedFamily::Unnamed;
    }

    bool waylandDesktop = onWayland || facts.waylandDisplay;
    if (named == NamedFamily::X11) waylandDesktop = false;
    if (named == NamedFamily::Portal) waylandDesktop = true;

    SystemChoice choice;
    if (onWayland)
        choice.windows = WindowSystem::Wayland;
    else if (facts.x11Server)
        choice.windows = waylandDesktop ? WindowSystem::WaylandDesktopX11 : WindowSystem::X11;

    if (named == NamedFamily::Toolkit)
        choice.family = ServiceFamily::Toolkit;
    else if (waylandDesktop)
        choice.family = ServiceFamily::Portal;
    else
        choice.family = facts.x11Server ? ServiceFamily::X11 : ServiceFamily::Toolkit;
    return choice;
}

} // namespace systemchoice

const SystemChoice& systemChoice() {
    static const SystemChoice choice = systemchoice::decide(
        {QGuiApplication::platformName(), !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"),
         x11Connection() != nullptr, qgetenv("ZUZ_SERVICES")});
    return choice;
}

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    switch (systemChoice().family) {
    case ServiceFamily::Portal:
        return std::make_unique<PortalScreenGrabber>();
    case ServiceFamily::X11:
        return std::make_unique<X11ScreenGrabber>(x11Connection());
    default:
        return std::make_unique<QtScreenGrabber>();
    }
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    switch (systemChoice().family) {
    case ServiceFamily::Portal:
        return std::make_unique<PortalHotkeyService>();
    case ServiceFamily::X11:
        return std::make_unique<X11HotkeyService>(x11Connection());
    default:
        return std::make_unique<NullHotkeyService>();
    }
}

std::unique_ptr<CompositorSync> makeSystemCompositorSync() {
    if (systemChoice().windows != WindowSystem::Wayland) return nullptr;
    return makeWaylandCompositorSync();
}
