#include "raster/box.h"

#include <algorithm>

namespace raster {

Box intersect(const Box& a, const Box& b) {
    const Box r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.isEmpty() ? Box{} : r;
}

Box boundingBox(const QRegion& region) {
    if (region.isEmpty()) return {};
    const QRect r = region.boundingRect();
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

bool contains(const QRegion& region, QPoint point) {
    return region.contains(point);
}

} // namespace raster
