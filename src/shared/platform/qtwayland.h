#pragma once

struct wl_display;

// Qt's own connection to the Wayland compositor, which only its platform
// interface hands out; null where Qt is on no Wayland display.
wl_display* qtWaylandDisplay();
