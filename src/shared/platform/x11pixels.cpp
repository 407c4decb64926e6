#include "shared/platform/x11pixels.h"

#include <bit>
#include <cstring>

namespace {
// One channel of a pixel value, widened or narrowed to eight bits with
// rounding, so that 10-bit white stays white and 5-bit grey stays grey.
struct Channel {
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t mask) {
        if (!mask) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    int of(std::uint32_t pixel, std::uint32_t mask) const {
        if (!max) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        return int((std::uint64_t(v) * 255 + max / 2) / max);
    }
};

std::uint32_t readPixel(const std::uint8_t* p, int bytes, bool msbFirst) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        const int at = msbFirst ? i : bytes - 1 - i;
        v = (v << 8) | p[at];
    }
    return v;
}
} // namespace

bool X11PixelLayout::isPlainRgb32() const {
    return bitsPerPixel == 32 && palette.isEmpty() && !mostSignificantFirst &&
           redMask == 0xFF0000 && greenMask == 0x00FF00 && blueMask == 0x0000FF;
}

std::size_t X11PixelLayout::bytesPerLine(int width) const {
    const std::size_t pad = std::size_t(scanlinePad > 0 ? scanlinePad : 8);
    const std::size_t bits = std::size_t(width) * std::size_t(bitsPerPixel);
    return (bits + pad - 1) / pad * pad / 8;
}

QImage decodeX11Pixels(const std::uint8_t* data, std::size_t length, QSize size,
                       const X11PixelLayout& layout) {
    if (size.isEmpty() || !data) return {};
    const int bpp = layout.bitsPerPixel;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return {};
    const bool mapped = !layout.palette.isEmpty();
    if (!mapped && !(layout.redMask && layout.greenMask && layout.blueMask)) return {};
    const std::size_t stride = layout.bytesPerLine(size.width());
    if (length < stride * std::size_t(size.height())) return {};
    if (layout.isPlainRgb32())
        return QImage(data, size.width(), size.height(), qsizetype(stride), QImage::Format_RGB32)
            .copy();

    QImage out(size, QImage::Format_RGB32);
    if (out.isNull()) return out;
    const int bytes = bpp / 8;
    const Channel r(layout.redMask), g(layout.greenMask), b(layout.blueMask);
    for (int y = 0; y < size.height(); ++y) {
        const std::uint8_t* in = data + stride * std::size_t(y);
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x, in += bytes) {
            const std::uint32_t v = readPixel(in, bytes, layout.mostSignificantFirst);
            if (mapped)
                row[x] = v < std::uint32_t(layout.palette.size())
                             ? layout.palette[int(v)] | 0xFF000000u
                             : qRgb(0, 0, 0);
            else
                row[x] = qRgb(r.of(v, layout.redMask), g.of(v, layout.greenMask),
                              b.of(v, layout.blueMask));
        }
    }
    return out;
}
