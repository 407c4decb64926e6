#include "raster/blit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace raster {

namespace {

template <Rop R, typename T> inline T combine(T s, T d) {
    if constexpr (R == Rop::Copy)
        return s;
    else if constexpr (R == Rop::And)
        return s & d;
    else if constexpr (R == Rop::Or)
        return s | d;
    else if constexpr (R == Rop::NotCopy)
        return static_cast<T>(~s);
    else
        return static_cast<T>(~(s | d));
}

// The source pixel as the destination reads it. Colour pixels keep their
// alpha byte forced on after each operation, so NOT never leaves a hole.
struct ColourToColour {
    using Src = quint32;
    using Dst = quint32;
    quint32 operator()(quint32 s) const { return s; }
    static quint32 finish(quint32 v) { return v | 0xFF000000u; }
};

struct MonoToMono {
    using Src = quint8;
    using Dst = quint8;
    quint8 operator()(quint8 s) const { return s; }
    static quint8 finish(quint8 v) { return v; }
};

struct ColourToMono {
    using Src = quint32;
    using Dst = quint8;
    quint32 background;
    quint8 operator()(quint32 s) const { return (s & 0xFFFFFFu) == background ? 0xFF : 0x00; }
    static quint8 finish(quint8 v) { return v; }
};

struct MonoToColour {
    using Src = quint8;
    using Dst = quint32;
    quint32 set;
    quint32 clear;
    quint32 operator()(quint8 s) const { return s ? set : clear; }
    static quint32 finish(quint32 v) { return v | 0xFF000000u; }
};

// Rows run from dst and src by their strides, which are negative when a
// block of a surface is copied onto itself lower down. `staged` holds one
// source row when a row overlaps itself shifted sideways.
struct Block {
    uchar* dst;
    qsizetype dstStride;
    const uchar* src;
    qsizetype srcStride;
    int w;
    int h;
    uchar* staged = nullptr;
};

template <Rop R, typename Conv> void run(const Block& b, Conv conv) {
    using S = typename Conv::Src;
    using D = typename Conv::Dst;
    for (int row = 0; row < b.h; ++row) {
        const S* s = reinterpret_cast<const S*>(b.src + row * b.srcStride);
        if (b.staged) s = static_cast<const S*>(std::memcpy(b.staged, s, b.w * sizeof(S)));
        D* d = reinterpret_cast<D*>(b.dst + row * b.dstStride);
        for (int i = 0; i < b.w; ++i)
            d[i] = Conv::finish(combine<R, D>(conv(s[i]), d[i]));
    }
}

template <typename Conv> void dispatch(Rop rop, const Block& b, Conv conv) {
    switch (rop) {
    case Rop::Copy:
        return run<Rop::Copy>(b, conv);
    case Rop::And:
        return run<Rop::And>(b, conv);
    case Rop::Or:
        return run<Rop::Or>(b, conv);
    case Rop::NotCopy:
        return run<Rop::NotCopy>(b, conv);
    case Rop::NotOr:
        return run<Rop::NotOr>(b, conv);
    }
}

// Cuts one axis of the block to the part inside both surfaces.
bool clipAxis(int& d, int& s, int& n, int dstExtent, int srcExtent) {
    if (d < 0) {
        s -= d;
        n += d;
        d = 0;
    }
    if (s < 0) {
        d -= s;
        n += s;
        s = 0;
    }
    n = std::min({n, dstExtent - d, srcExtent - s});
    return n > 0;
}

} // namespace

void blt(Surface* dst, int x, int y, int w, int h, const Surface* src, int sx, int sy, Rop rop) {
    if (!dst || !src) return;
    int dx = x - dst->origin().x();
    int dy = y - dst->origin().y();
    int srcX = sx - src->origin().x();
    int srcY = sy - src->origin().y();
    if (!clipAxis(dx, srcX, w, dst->width(), src->width()) ||
        !clipAxis(dy, srcY, h, dst->height(), src->height()))
        return;

    dst->written();
    const bool dstMono = dst->format() == Format::Mono;
    const bool srcMono = src->format() == Format::Mono;
    const int dstBytes = dstMono ? 1 : 4;
    const int srcBytes = srcMono ? 1 : 4;
    Block block{dst->line(dy) + dx * dstBytes,
                dst->m_stride,
                src->line(srcY) + srcX * srcBytes,
                src->m_stride,
                w,
                h};

    // A block of a surface onto itself acts as if all of it were read before
    // anything is written. In place, each pixel is read just before it is
    // written, which is that already.
    std::vector<uchar> staged;
    if (dst == src && (dx != srcX || dy != srcY) && std::abs(dx - srcX) < w &&
        std::abs(dy - srcY) < h) {
        if (dy > srcY) {
            // Bottom up, so no source row is written before it is read.
            block.dst += (h - 1) * block.dstStride;
            block.src += (h - 1) * block.srcStride;
            block.dstStride = -block.dstStride;
            block.srcStride = -block.srcStride;
        } else if (dy == srcY) {
            staged.resize(std::size_t(w) * srcBytes);
            block.staged = staged.data();
        }
    }

    if (!dstMono && !srcMono)
        dispatch(rop, block, ColourToColour{});
    else if (dstMono && srcMono)
        dispatch(rop, block, MonoToMono{});
    else if (dstMono)
        dispatch(rop, block, ColourToMono{toRgb(src->backgroundColour()) & 0xFFFFFFu});
    else
        dispatch(rop, block,
                 MonoToColour{toRgb(dst->backgroundColour()), toRgb(dst->textColour())});
}

} // namespace raster
