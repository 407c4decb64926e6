#include "modMain.h"

#include <algorithm>

RectL PointsToRect(const PointL& P1, const PointL& P2) {
    return {std::min(P1.x, P2.x), std::min(P1.y, P2.y), std::max(P1.x, P2.x), std::max(P1.y, P2.y)};
}
