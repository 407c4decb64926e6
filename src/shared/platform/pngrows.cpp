#include "shared/platform/pngrows.h"

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

// The Paeth filter undone on the pixels [from, to) of a row whose pixels
// before `from` are undone: the nearest of the byte to the left (a), the
// one above (b) and the one above that (c) to a + b - c; with no pixel to
// the left, a and c count as 0. Each pixel waits on the one before it:
// its channels, held apart from memory, run side by side.
template <int N> void paeth(uchar* row, const uchar* above, int from, int to) {
    int a[N] = {}, c[N] = {};
    if (from > 0)
        for (int k = 0; k < N; ++k) {
            a[k] = row[(from - 1) * N + k];
            c[k] = above[(from - 1) * N + k];
        }
    row += from * N;
    above += from * N;
    for (int x = from; x < to; ++x, row += N, above += N) {
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            const int b = above[k];
            const int pa = std::abs(b - c[k]), pb = std::abs(a[k] - c[k]),
                      pc = std::abs(b - c[k] + a[k] - c[k]);
            const int nearest = pb < pa ? (pc < pb ? c[k] : b) : (pc < pa ? c[k] : a[k]);
            a[k] = uchar(row[k] + nearest);
            row[k] = uchar(a[k]);
            c[k] = b;
        }
    }
}

// A row's filter undone in place on its pixels [from, to), given the row
// above undone that far and its own pixels before `from`.
template <int N> bool unfilter(uchar type, uchar* row, const uchar* above, int from, int to) {
    const int first = from * N, end = to * N;
    switch (type) {
    case 0:
        return true;
    case 1:
        for (int i = std::max(first, N); i < end; ++i)
            row[i] = uchar(row[i] + row[i - N]);
        return true;
    case 2:
        for (int i = first; i < end; ++i)
            row[i] = uchar(row[i] + above[i]);
        return true;
    case 3:
        for (int i = first; i < std::min(N, end); ++i)
            row[i] = uchar(row[i] + (above[i] >> 1));
        for (int i = std::max(first, N); i < end; ++i)
            row[i] = uchar(row[i] + ((row[i - N] + above[i]) >> 1));
        return true;
    case 4:
        paeth<N>(row, above, from, to);
        return true;
    default:
        return false;
    }
}

// Row by row, top down: each row's pixels lie at or after the place its
// RGB32 pixels take (see decode), so none is overwritten before it is read.
template <int N>
void toRgb32(const uchar* raw, qsizetype stride, QRgb* image, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const uchar* in = raw + y * stride + 1;
        QRgb* out = image + qsizetype(y) * width;
        for (int x = 0; x < width; ++x, in += N)
            out[x] = 0xff000000u | QRgb(in[0]) << 16 | QRgb(in[1]) << 8 | in[2];
    }
}

// Each row waits on the one above only as far as it has come, so rows go
// to several cores at once, each a stretch behind the one above: a row is
// undone in stretches of this many pixels, and says after each how far it
// has come.
constexpr int kStretch = 128;
constexpr unsigned kMostCores = 4;

template <int N> bool decodeRows(uchar* raw, QRgb* image, int width, int height) {
    const qsizetype stride = qsizetype(width) * N + 1;
    const auto zeros = std::make_unique<uchar[]>(size_t(width) * N);
    // How many pixels of each row are undone; once a row turns out to be
    // damaged, none waits on another any more.
    const auto done = std::make_unique<std::atomic<int>[]>(size_t(height));
    for (int y = 0; y < height; ++y)
        done[y].store(0, std::memory_order_relaxed);
    std::atomic<bool> damaged = false;
    const unsigned cores =
        std::clamp(std::thread::hardware_concurrency(), 1u, std::min(kMostCores, unsigned(height)));
    const auto rows = [&](unsigned first) {
        for (int y = int(first); y < height; y += int(cores)) {
            uchar* row = raw + y * stride;
            const uchar* above = y > 0 ? row - stride + 1 : zeros.get();
            for (int from = 0; from < width; from += kStretch) {
                const int to = std::min(width, from + kStretch);
                while (y > 0 && done[y - 1].load(std::memory_order_acquire) < to) {
                    if (damaged.load(std::memory_order_relaxed)) return;
                    std::this_thread::yield();
                }
                if (!unfilter<N>(row[0], row + 1, above, from, to)) {
                    damaged = true;
                    return;
                }
                done[y].store(to, std::memory_order_release);
            }
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned t = 1; t < cores; ++t)
            helpers.emplace_back(rows, t);
    } catch (const std::system_error&) {
        // Rows nobody would undo: the general reader takes over.
        damaged = true;
    }
    rows(0);
    for (std::thread& helper : helpers)
        helper.join();
    if (damaged) return false;
    toRgb32<N>(raw, stride, image, width, height);
    return true;
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
