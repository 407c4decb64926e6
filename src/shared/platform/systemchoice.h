#pragma once

#include <QByteArray>
#include <QString>

// Which adapters serve the running program. The platform's own file
// (systemchoice_unix.cpp, systemchoice_win.cpp) decides once, from the
// session the program starts in, and makes the screen grabber and the
// global key from it; every other adapter asks systemChoice() rather than
// looking at the session itself.
//
// A user whose desktop is taken for another names the family in the
// environment variable ZUZ_SERVICES:
//   x11      the X server's own ways; only where the program talks to an
//            X server, whose desktop is then taken for an X11 one even
//            where WAYLAND_DISPLAY is set
//   portal   the desktop portals over D-Bus, as on a Wayland desktop
//   toolkit  Qt's own ways alone: its screen copy, its clipboard, its
//            keys and its stacking, and no global key (the last resort)
// Windows knows only `toolkit` beside its own ways. A family the platform
// cannot serve, and a name that is none of these, are ignored with a
// warning.

// Who reads the screen and claims the global key.
enum class ServiceFamily { X11, Portal, Toolkit, Windows };

// What the program's windows are on.
enum class WindowSystem {
    Other, // none that the program talks to itself (Qt's offscreen platform)
    X11,
    WaylandDesktopX11, // the X server of a Wayland desktop (Xwayland)
    Wayland,
    Windows,
};

struct SystemChoice {
    ServiceFamily family = ServiceFamily::Toolkit;
    WindowSystem windows = WindowSystem::Other;

    // Whose own calls serve the clipboard, the stacking and the keys: the
    // window system's (X11, Wayland or Windows), or none (Other) where the
    // family is Qt's alone.
    WindowSystem ownCalls() const {
        if (family == ServiceFamily::Toolkit) return WindowSystem::Other;
        return windows == WindowSystem::WaylandDesktopX11 ? WindowSystem::X11 : windows;
    }
    // Whether the program puts its windows where it wants: a Wayland
    // compositor places them itself.
    bool programPlacesWindows() const { return windows != WindowSystem::Wayland; }
    // Whether the compositor that shows the program's windows also takes
    // the screen's pictures, closing effects and all.
    bool picturesShowClosingWindows() const { return windows == WindowSystem::Wayland; }
};

// What the session says about itself, as the platform's file gathers it.
struct SessionFacts {
    QString qtPlatform;          // QGuiApplication::platformName()
    bool waylandDisplay = false; // WAYLAND_DISPLAY names a display
    bool x11Server = false;      // Qt talks to an X server
    QByteArray services;         // ZUZ_SERVICES
};

namespace systemchoice {
// The running platform's rule.
SystemChoice decide(const SessionFacts& facts);
} // namespace systemchoice

// The running program's choice, decided the first time it is asked, which
// is after the application object exists.
const SystemChoice& systemChoice();

// The family ZUZ_SERVICES names, or none (with a warning for a name that
// is no family).
enum class NamedFamily { Unnamed, X11, Portal, Toolkit };
NamedFamily namedServiceFamily(const QByteArray& services);
