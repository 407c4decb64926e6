#pragma once

#include "capture.h"

#include <cstdint>

// A point in pixels, as the picker hands it to PointsToRect.
struct PointL {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The rectangle spanned by two points, whichever way the drag went.
RectL PointsToRect(const PointL& P1, const PointL& P2);
