#pragma once

#include "shared/platform/compositorsync.h"

// A sync request on Qt's own connection, whose answer Qt reads and hands
// on with its own events. None where Qt has no Wayland display.
std::unique_ptr<CompositorSync> makeWaylandCompositorSync();
