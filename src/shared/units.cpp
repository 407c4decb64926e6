#include "shared/units.h"

#include <cmath>
#include <limits>

namespace units {

std::int32_t cint(double value) {
    const double r = std::nearbyint(value);
    if (r >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (r <= double(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

std::int32_t intDiv(double a, double b) {
    const std::int32_t d = cint(b);
    if (d == 0) return 0;
    return cint(a) / d;
}

std::int16_t cint16(double value) {
    const std::int32_t v = cint(value);
    if (v > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (v < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(v);
}

Screen Screen::fromDpi(int widthPx, int heightPx, double dpiX, double dpiY) {
    return fromDpi(widthPx, heightPx, dpiX, dpiY, 1.0, widthPx, heightPx);
}

Screen Screen::fromDpi(int widthPx, int heightPx, double dpiX, double dpiY, double ratio,
                       int deviceWidthPx, int deviceHeightPx) {
    Screen s;
    s.widthPx = widthPx;
    s.heightPx = heightPx;
    s.TwipsPerPixelX = dpiX > 0 ? kTwipsPerInch / dpiX : 15.0;
    s.TwipsPerPixelY = dpiY > 0 ? kTwipsPerInch / dpiY : 15.0;
    s.DevicePixelRatio = ratio > 0 ? ratio : 1.0;
    s.deviceWidthPx = deviceWidthPx;
    s.deviceHeightPx = deviceHeightPx;
    return s;
}

} // namespace units
