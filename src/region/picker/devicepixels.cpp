#include "region/picker/devicepixels.h"

#include <cmath>

namespace devicepixels {

namespace {
int roundingMargin(double ratio) {
    return ratio == std::floor(ratio) ? 0 : 1;
}

// The pixels of the other size that [first, end) touches, `scale` of them
// to one of its own, and `margin` more on each side.
QRect span(const QRect& r, double scale, int margin) {
    const QPoint first(int(std::floor(r.left() * scale)) - margin,
                       int(std::floor(r.top() * scale)) - margin);
    const QPoint end(int(std::ceil((r.right() + 1) * scale)) + margin,
                     int(std::ceil((r.bottom() + 1) * scale)) + margin);
    return {first, QSize(end.x() - first.x(), end.y() - first.y())};
}
} // namespace

QRectF toLogical(const QRect& d, double ratio) {
    return {d.x() / ratio, d.y() / ratio, d.width() / ratio, d.height() / ratio};
}

QRect covering(const QRect& logical, double ratio) {
    return span(logical, ratio, roundingMargin(ratio));
}

QRect coveringLogical(const QRect& device, double ratio) {
    return span(device, 1 / ratio, roundingMargin(ratio));
}

} // namespace devicepixels
