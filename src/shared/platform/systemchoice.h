#pragma once

// Which family of adapters serves the program (screen capture, global
// key). Each platform finds it from the session it runs in; a user whose
// desktop is found wrongly names it in the environment variable
// ZUZ_SERVICES:
//   x11      the X server's own ways (where the program talks to one)
//   portal   the desktop portals over D-Bus (Wayland desktops)
//   toolkit  the toolkit's screen copy and no global key
// A family the platform has not is ignored, as is an unknown name (with a
// warning).
enum class ServiceFamily { Found, X11, Portal, Toolkit };

// The family ZUZ_SERVICES names, or Found when it names none.
ServiceFamily forcedServiceFamily();
