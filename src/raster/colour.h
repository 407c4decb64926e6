#pragma once

#include <QRgb>
#include <QtGlobal>

namespace raster {

// Colours travel as 0x00BBGGRR, the way the editor's callers hand them over;
// pixels are stored as QRgb (0xAARRGGBB) so that QImage and QPainter can use them.
using Colour = quint32;

inline constexpr Colour White = 0xFFFFFF;
inline constexpr Colour Black = 0x000000;

constexpr QRgb toRgb(Colour c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

constexpr Colour fromRgb(QRgb p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

} // namespace raster
