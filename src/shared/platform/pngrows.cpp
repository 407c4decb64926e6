#include "shared/platform/pngrows.h"

#include <QSysInfo>
#include <QtEndian>

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace pngrows {
namespace {

struct Header {
    int width = 0;
    int height = 0;
    int channels = 0; // 3 RGB, 4 RGBA
};

std::optional<Header> header(const QByteArray& data) {
    if (data.size() < 33 || !data.startsWith(kSignature)) return std::nullopt;
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + 8;
    if (bigEndian32(p) != 13 || std::memcmp(p + 4, "IHDR", 4) != 0) return std::nullopt;
    const std::uint32_t w = bigEndian32(p + 8), h = bigEndian32(p + 12);
    const uchar depth = p[16], colour = p[17], compression = p[18], filter = p[19],
                interlace = p[20];
    if (w == 0 || h == 0 || w > 0x7fff || h > 0x7fff || depth != 8 || compression != 0 ||
        filter != 0 || interlace != 0 || (colour != 2 && colour != 6))
        return std::nullopt;
    return Header{int(w), int(h), colour == 6 ? 4 : 3};
}

// The IDAT chunks' contents end to end: the zlib stream of the rows.
std::optional<QByteArray> imageData(const QByteArray& data) {
    QByteArray stream;
    qsizetype at = 8;
    while (at + 12 <= data.size()) {
        const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
        const qsizetype length = bigEndian32(p);
        if (length > data.size() - at - 12) return std::nullopt;
        if (std::memcmp(p + 4, "IDAT", 4) == 0)
            stream.append(reinterpret_cast<const char*>(p + 8), length);
        else if (std::memcmp(p + 4, "IEND", 4) == 0)
            break;
        at += 12 + length;
    }
    if (stream.isEmpty()) return std::nullopt;
    return stream;
}

// Each pixel of a row waits on the one to its left (for the Sub, Average
// and Paeth filters, the ones desktops' writers choose): a row alone runs
// no faster than that chain. Four rows are undone at once instead, each a
// pixel behind the row above, their channels side by side in two vectors
// (two pixels of four 16-bit channels each): what a row needs of the row
// above was made the step before, so it never goes through memory.
using Lanes = std::int16_t __attribute__((vector_size(16)));
using Halves = std::uint64_t __attribute__((vector_size(16)));
using Bytes = std::uint8_t __attribute__((vector_size(8)));
constexpr int kRowsAtOnce = 4;

// The nearest of a, b and c to a + b - c, a first, then b.
inline Lanes paeth(Lanes a, Lanes b, Lanes c) {
    const auto magnitude = [](Lanes v) { return v < 0 ? -v : v; };
    const Lanes pa = magnitude(b - c), pb = magnitude(a - c), pc = magnitude(b - c + a - c);
    return pb < pa ? (pc < pb ? c : b) : (pc < pa ? c : a);
}

// A pixel's bytes as a number, first byte lowest, and back: through
// general registers, as a vector's bytes written one by one would wait
// for the stores to be done before they could be read together.
template <int N> std::uint64_t bytesOf(const uchar* pixel) {
    if (!pixel) return 0;
    if constexpr (N == 4) return qFromLittleEndian<std::uint32_t>(pixel);
    return pixel[0] | std::uint32_t(pixel[1]) << 8 | std::uint32_t(pixel[2]) << 16;
}

template <int N> void putBytes(std::uint64_t word, uchar* pixel) {
    if (!pixel) return;
    if constexpr (N == 4) return qToLittleEndian(std::uint32_t(word), pixel);
    pixel[0] = uchar(word), pixel[1] = uchar(word >> 8), pixel[2] = uchar(word >> 16);
}

// The pixels at `first` and `second` (either may be absent), a half each.
template <int N> Lanes load(const uchar* first, const uchar* second) {
    const std::uint64_t word = qToLittleEndian(bytesOf<N>(first) | bytesOf<N>(second) << 32);
    Bytes bytes;
    std::memcpy(&bytes, &word, 8);
    return __builtin_convertvector(bytes, Lanes);
}

template <int N> void store(Lanes pixels, uchar* first, uchar* second) {
    const Bytes bytes = __builtin_convertvector(pixels, Bytes);
    std::uint64_t word;
    std::memcpy(&word, &bytes, 8);
    word = qFromLittleEndian(word);
    putBytes<N>(word, first);
    putBytes<N>(word >> 32, second);
}

inline Halves halves(bool first, bool second) {
    return Halves{first ? ~0ull : 0, second ? ~0ull : 0};
}

// Four rows of filtered bytes (a filter byte, then the pixels) undone in
// place, given the row above them undone.
template <int N> class FourRows {
  public:
    FourRows(uchar* const rows[kRowsAtOnce], const uchar* above, int width)
        : m_above(above), m_width(width) {
        uchar types[kRowsAtOnce];
        for (int k = 0; k < kRowsAtOnce; ++k) {
            types[k] = rows[k][0];
            m_row[k] = rows[k] + 1;
        }
        m_allPaeth = std::all_of(types, types + kRowsAtOnce, [](uchar t) { return t == 4; });
        for (int v = 0; v < 2; ++v) {
            const uchar first = types[2 * v], second = types[2 * v + 1];
            m_sub[v] = Lanes(halves(first == 1, second == 1));
            m_up[v] = Lanes(halves(first == 2, second == 2));
            m_average[v] = Lanes(halves(first == 3, second == 3));
            m_paeth[v] = Lanes(halves(first == 4, second == 4));
        }
    }

    // Steps [from, to) of the width + 3 it takes: at step t row k undoes
    // its pixel t - k. In the first and last three steps some rows are not
    // yet in or already out.
    void run(int from, int to) {
        if (m_allPaeth)
            run<true>(from, to);
        else
            run<false>(from, to);
    }

  private:
    template <bool kAllPaeth> void run(int from, int to) {
        int t = from;
        for (; t < std::min(to, kRowsAtOnce - 1); ++t)
            step<true, kAllPaeth>(t);
        for (; t < std::min(to, m_width); ++t)
            step<false, kAllPaeth>(t);
        for (; t < to; ++t)
            step<true, kAllPaeth>(t);
    }

    template <bool kEdge> uchar* pixel(int k, int t) const {
        const int x = t - k;
        if (kEdge && (x < 0 || x >= m_width)) return nullptr;
        return m_row[k] + x * N;
    }

    template <bool kAllPaeth> Lanes predict(int v, Lanes a, Lanes b, Lanes c) const {
        if constexpr (kAllPaeth) return paeth(a, b, c);
        return (paeth(a, b, c) & m_paeth[v]) | (a & m_sub[v]) | (b & m_up[v]) |
               (((a + b) >> 1) & m_average[v]);
    }

    template <bool kEdge, bool kAllPaeth> void step(int t) {
        const Halves made0 = Halves(m_made[0]), made1 = Halves(m_made[1]);
        const uchar* up = kEdge && t >= m_width ? nullptr : m_above + t * N;
        const Lanes b0 = Lanes(Halves{Halves(load<N>(up, nullptr))[0], made0[0]});
        const Lanes b1 = Lanes(Halves{made0[1], made1[0]});
        uchar* const p[kRowsAtOnce] = {pixel<kEdge>(0, t), pixel<kEdge>(1, t), pixel<kEdge>(2, t),
                                       pixel<kEdge>(3, t)};
        // A row not yet in reads zeros and makes zeros, the left and upper
        // left of its first pixel.
        const Lanes out0 =
            (load<N>(p[0], p[1]) + predict<kAllPaeth>(0, m_made[0], b0, m_b[0])) & 0xff;
        const Lanes out1 =
            (load<N>(p[2], p[3]) + predict<kAllPaeth>(1, m_made[1], b1, m_b[1])) & 0xff;
        store<N>(out0, p[0], p[1]);
        store<N>(out1, p[2], p[3]);
        m_made[0] = out0, m_made[1] = out1;
        m_b[0] = b0, m_b[1] = b1;
    }

    uchar* m_row[kRowsAtOnce];
    const uchar* m_above;
    int m_width;
    bool m_allPaeth = false;
    // Per half, whether its row has the filter.
    Lanes m_sub[2], m_up[2], m_average[2], m_paeth[2];
    // Each row's pixel of the step before, and the pixel above it then,
    // which is the upper left now.
    Lanes m_made[2] = {};
    Lanes m_b[2] = {};
};

// A row's pixels to Qt's RGB32 in place: its bytes lie at or after the
// place its RGB32 pixels take (see decode), so none is overwritten before
// it is read. Four channels go four pixels at a time.
template <int N> void toRgb32(const uchar* in, QRgb* out, int width) {
    int x = 0;
    if constexpr (N == 4 && QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        using Words = std::uint32_t __attribute__((vector_size(16)));
        for (; x + 4 <= width; x += 4) {
            Words rgba;
            std::memcpy(&rgba, in + x * 4, sizeof rgba);
            const Words argb =
                0xff000000u | (rgba & 0xff00u) | (rgba & 0xffu) << 16 | (rgba >> 16 & 0xffu);
            std::memcpy(out + x, &argb, sizeof argb);
        }
    }
    for (in += x * N; x < width; ++x, in += N)
        out[x] = 0xff000000u | QRgb(in[0]) << 16 | QRgb(in[1]) << 8 | in[2];
}

// Each band of rows waits on the band above only as far as that has come,
// so bands go to several cores at once, each a stretch behind the one
// above: a band is undone in stretches of this many pixels, and says after
// each how far its last row has come.
constexpr int kStretch = 128;
constexpr unsigned kMostCores = 4;

template <int N> bool decodeRows(uchar* raw, QRgb* image, int width, int height) {
    const qsizetype stride = qsizetype(width) * N + 1;
    const int bands = (height + kRowsAtOnce - 1) / kRowsAtOnce;
    const auto zeros = std::make_unique<uchar[]>(size_t(width) * N);
    // How many pixels of each band's last row are undone; once a row turns
    // out to be damaged, none waits on another any more.
    const auto done = std::make_unique<std::atomic<int>[]>(size_t(bands));
    for (int g = 0; g < bands; ++g)
        done[g].store(0, std::memory_order_relaxed);
    std::atomic<bool> damaged = false;
    // How many rows from the top are in RGB32.
    std::atomic<int> converted = 0;
    const unsigned cores =
        std::clamp(std::thread::hardware_concurrency(), 1u, std::min(kMostCores, unsigned(bands)));
    // Whether `counter` came to `value`, rather than another band being
    // damaged first.
    const auto awaitAtLeast = [&](const std::atomic<int>& counter, int value) {
        while (counter.load(std::memory_order_acquire) < value)
            if (damaged.load(std::memory_order_relaxed))
                return false;
            else
                std::this_thread::yield();
        return true;
    };
    // Rows past the last are undone into a row of their own, unfiltered.
    const auto spare = std::make_unique<uchar[]>(size_t(stride) * kRowsAtOnce);
    const auto band = [&](int g) {
        uchar* rows[kRowsAtOnce];
        for (int k = 0; k < kRowsAtOnce; ++k) {
            const int y = g * kRowsAtOnce + k;
            rows[k] = y < height ? raw + y * stride : spare.get() + k * stride;
            if (rows[k][0] > 4) {
                damaged = true;
                return;
            }
        }
        FourRows<N> four(rows, g > 0 ? rows[0] - stride + 1 : zeros.get(), width);
        const int steps = width + kRowsAtOnce - 1;
        for (int from = 0; from < steps; from += kStretch) {
            const int to = std::min(steps, from + kStretch);
            if (g > 0 && !awaitAtLeast(done[g - 1], std::min(to, width))) return;
            four.run(from, to);
            done[g].store(std::clamp(to - kRowsAtOnce + 1, 0, width), std::memory_order_release);
        }
        // Then to RGB32 while the rows are still at hand: in order from the
        // top, as each row's RGB32 pixels take the place of rows above it,
        // and each only once the row below has been undone.
        const int first = g * kRowsAtOnce, last = std::min(height, first + kRowsAtOnce);
        const int from = std::max(0, first - 1), to = last == height ? height : last - 1;
        if (!awaitAtLeast(converted, from)) return;
        for (int y = from; y < to; ++y)
            toRgb32<N>(raw + y * stride + 1, image + qsizetype(y) * width, width);
        converted.store(to, std::memory_order_release);
    };
    const auto bandsFrom = [&](unsigned first) {
        for (int g = int(first); g < bands && !damaged.load(std::memory_order_relaxed);
             g += int(cores))
            band(g);
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned t = 1; t < cores; ++t)
            helpers.emplace_back(bandsFrom, t);
    } catch (const std::system_error&) {
        // Rows nobody would undo: the general reader takes over.
        damaged = true;
    }
    bandsFrom(0);
    for (std::thread& helper : helpers)
        helper.join();
    return !damaged;
}
} // namespace

QImage decode(const QByteArray& data) {
    const auto head = header(data);
    if (!head) return {};
    const auto stream = imageData(data);
    if (!stream) return {};
    const int w = head->width, h = head->height;
    // The rows are inflated into the picture's own memory, at its end: a
    // second buffer of the screen's size would cost as much again in fresh
    // pages as the decoding itself on a large screen. RGB32 needs four
    // bytes a pixel; the file's rows need a filter byte more each.
    const size_t pixels = size_t(h) * size_t(w) * 4;
    const size_t rawSize = size_t(h) * (size_t(w) * head->channels + 1);
    const size_t total = std::max(pixels, rawSize);
    auto* memory = static_cast<uchar*>(std::malloc(total));
    if (!memory) return {};
    QImage image(memory, w, h, w * 4, QImage::Format_RGB32, std::free, memory);
    if (image.isNull()) {
        std::free(memory);
        return {};
    }
    uchar* raw = memory + (total - rawSize);
    const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> inflater(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    size_t got = 0;
    if (!inflater ||
        libdeflate_zlib_decompress(inflater.get(), stream->constData(), size_t(stream->size()), raw,
                                   rawSize, &got) != LIBDEFLATE_SUCCESS ||
        got != rawSize)
        return {};
    auto* out = reinterpret_cast<QRgb*>(memory);
    const bool ok =
        head->channels == 4 ? decodeRows<4>(raw, out, w, h) : decodeRows<3>(raw, out, w, h);
    return ok ? image : QImage();
}

} // namespace pngrows
