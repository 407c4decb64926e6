#include "raster/tiles.h"

#include <algorithm>
#include <vector>

namespace raster {

namespace {

template <typename T> bool anySet(const T* p, int n, T mask) {
    T any = 0;
    for (int i = 0; i < n; ++i)
        any |= p[i];
    return (any & mask) != 0;
}

} // namespace

QRegion nonBlackTiles(const Surface& s, int tile) {
    if (tile <= 0 || s.width() <= 0 || s.height() <= 0) return {};
    const QImage& image = s.image();
    const bool mono = s.format() == Format::Mono;
    const int columns = (s.width() + tile - 1) / tile;
    std::vector<char> marked(columns);
    // Bands of runs, y-x sorted as QRegion keeps them; a band with the very
    // runs of the one above it just grows that one.
    std::vector<QRect> rects;
    std::size_t previousBand = 0;
    for (int top = 0; top < s.height(); top += tile) {
        const int rows = std::min(tile, s.height() - top);
        std::fill(marked.begin(), marked.end(), 0);
        for (int y = top; y < top + rows; ++y) {
            const uchar* line = image.constScanLine(y);
            for (int c = 0; c < columns; ++c) {
                if (marked[c]) continue;
                const int x = c * tile;
                const int n = std::min(tile, s.width() - x);
                marked[c] = mono ? anySet<quint8>(line + x, n, 0xFF)
                                 : anySet<quint32>(reinterpret_cast<const quint32*>(line) + x, n,
                                                   0xFFFFFFu);
            }
        }
        const std::size_t band = rects.size();
        for (int c = 0; c < columns;) {
            if (!marked[c]) {
                ++c;
                continue;
            }
            const int first = c;
            while (c < columns && marked[c])
                ++c;
            const int right = std::min(c * tile, s.width());
            rects.emplace_back(first * tile, top, right - first * tile, rows);
        }
        const std::size_t runs = rects.size() - band;
        const bool sameRuns =
            runs > 0 && band - previousBand == runs && rects[band - 1].bottom() == top - 1 &&
            std::equal(rects.begin() + band, rects.end(), rects.begin() + previousBand,
                       [](const QRect& a, const QRect& b) {
                           return a.left() == b.left() && a.right() == b.right();
                       });
        if (sameRuns) {
            for (std::size_t i = previousBand; i < band; ++i)
                rects[i].setBottom(top + rows - 1);
            rects.resize(band);
        } else if (runs > 0) {
            previousBand = band;
        }
    }
    for (QRect& r : rects)
        r.translate(s.origin());
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

} // namespace raster
