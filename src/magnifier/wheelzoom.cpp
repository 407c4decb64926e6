#include "magnifier/wheelzoom.h"

#include <algorithm>
#include <cmath>

namespace wheelzoom {

Span zoom(Span picture, double screen, double window, double pointer, int notches) {
    if (notches == 0 || picture.size <= 0 || screen <= 0) return picture;
    const double factor = picture.size / screen;
    const double wanted = factor * std::pow(kStep, notches);
    const double next = notches > 0 ? std::max(factor, std::min(wanted, kLargest))
                                    : std::min(factor, std::max(wanted, kSmallest));
    // The server steps through the picture in 65536ths of a pixel: a size
    // whose step it holds exactly is drawn there as here, pixel for pixel.
    // Only then may the size fall between pixels, by far less than a pixel.
    const double units = std::round(kStepUnits / next);
    if (units == std::round(kStepUnits / factor)) return picture;
    const double size = screen * kStepUnits / units;
    // The position stays whole, so that every pixel centre lands on the
    // same step on both drawing paths.
    const double anchor = (pointer - picture.pos) / picture.size;
    double pos = std::round(pointer - anchor * size);
    // A hair of rounding in the size must not leave a column uncovered.
    const double slack = window - size;
    if (slack <= 0)
        pos = std::clamp(pos, std::ceil(slack - 1e-9), 0.0);
    else
        pos = std::clamp(pos, 0.0, std::floor(slack + 1e-9));
    return {pos, size};
}

QRectF zoomPicture(const QRectF& picture, QSize own, const units::Screen& s, const QSizeF& window,
                   const QPointF& pointer, int notches, Axes axes) {
    // The screen's own size is the picture's pixel count, which a scaled
    // logical size may not give back exactly.
    const double ownW = own.isEmpty() ? s.toDeviceX(s.Width()) : own.width();
    const double ownH = own.isEmpty() ? s.toDeviceY(s.Height()) : own.height();
    const double ratio = s.DevicePixelRatio;
    QRectF r = picture;
    if (axes == Axes::Both) {
        const Span x = zoom({s.toDeviceX(r.left()), s.toDeviceX(r.width())}, ownW,
                            s.toDeviceX(window.width()), pointer.x() * ratio, notches);
        r.setRect(s.pictureTwipsX(x.pos), r.top(), s.pictureTwipsX(x.size), r.height());
    }
    const Span y = zoom({s.toDeviceY(r.top()), s.toDeviceY(r.height())}, ownH,
                        s.toDeviceY(window.height()), pointer.y() * ratio, notches);
    r.setRect(r.left(), s.pictureTwipsY(y.pos), r.width(), s.pictureTwipsY(y.size));
    return r;
}

} // namespace wheelzoom
