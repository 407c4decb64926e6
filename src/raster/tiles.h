#pragma once

#include "raster/surface.h"

#include <QRegion>

namespace raster {

// The tile x tile squares, counted from the corner of the surface's window,
// that hold any pixel other than black, cut to the window, in picture
// coordinates. Runs of neighbouring squares come as one rectangle, so a
// one-pixel outline across a whole screen stays a few hundred rectangles.
QRegion nonBlackTiles(const Surface& s, int tile);

} // namespace raster
