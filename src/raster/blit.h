#pragma once

#include "raster/surface.h"

namespace raster {

// The block-copy raster operations, valued as the platform codes they stand for.
enum class Rop : quint32 {
    Copy = 0x00CC0020,    // source
    And = 0x008800C6,     // source AND destination
    Or = 0x00EE0086,      // source OR destination
    NotCopy = 0x00330008, // NOT source
    NotOr = 0x001100A6,   // NOT (source OR destination)
};

// Combines a w x h block of src at (sx, sy) into dst at (x, y), both in the
// surfaces' own picture coordinates. The block is cut to whatever lies inside
// both surfaces; a missing surface on either side draws nothing.
//
// A block of a surface onto the same surface acts as if the whole source
// block were read before anything is written, whatever the offset.
//
// Between formats: a colour pixel becomes a set bit when it equals the
// source's background colour; a set bit becomes the destination's background
// colour and a clear bit its text colour.
void blt(Surface* dst, int x, int y, int w, int h, const Surface* src, int sx, int sy, Rop rop);

} // namespace raster
