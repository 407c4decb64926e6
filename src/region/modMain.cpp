#include "modMain.h"

#include <algorithm>

std::int32_t PointsToRect(const PointL& P1, const PointL& P2, RectL& Rect) {
    Rect.Left = std::min(P1.x, P2.x);
    Rect.Top = std::min(P1.y, P2.y);
    Rect.Right = std::max(P1.x, P2.x);
    Rect.Bottom = std::max(P1.y, P2.y);
    return 1;
}
