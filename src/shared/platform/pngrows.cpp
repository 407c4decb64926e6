#include "shared/platform/pngrows.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

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

// A row's filter undone in place, given the row above it undone.
template <int N> bool unfilter(uchar type, uchar* row, const uchar* above, int width) {
    const int bytes = width * N;
    switch (type) {
    case 0:
        return true;
    case 1:
        for (int i = N; i < bytes; ++i)
            row[i] = uchar(row[i] + row[i - N]);
        return true;
    case 2:
        for (int i = 0; i < bytes; ++i)
            row[i] = uchar(row[i] + above[i]);
        return true;
    case 3:
        for (int i = 0; i < N; ++i)
            row[i] = uchar(row[i] + (above[i] >> 1));
        for (int i = N; i < bytes; ++i)
            row[i] = uchar(row[i] + ((row[i - N] + above[i]) >> 1));
        return true;
    case 4:
        // With no pixel to the left the predictor is the one above.
        for (int i = 0; i < N; ++i)
            row[i] = uchar(row[i] + above[i]);
        // Branch-free, so that the N channels' chains run side by side.
        for (int i = N; i < bytes; ++i) {
            const int a = row[i - N], b = above[i], c = above[i - N];
            const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(b - c + a - c);
            const int nearest = pb < pa ? (pc < pb ? c : b) : (pc < pa ? c : a);
            row[i] = uchar(row[i] + nearest);
        }
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

template <int N> bool decodeRows(uchar* raw, QRgb* image, int width, int height) {
    const qsizetype stride = qsizetype(width) * N + 1;
    const auto zeros = std::make_unique<uchar[]>(size_t(width) * N);
    const uchar* above = zeros.get();
    for (int y = 0; y < height; ++y) {
        uchar* row = raw + y * stride;
        if (!unfilter<N>(row[0], row + 1, above, width)) return false;
        above = row + 1;
    }
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
