#include "shared/platform/portalpicture.h"

#include "shared/platform/pngrows.h"

#include <QSysInfo>

#include <png.h>

#include <cctype>
#include <optional>

namespace portalpicture {
namespace {
QImage fromPng(const QByteArray& data) {
    if (QImage image = pngrows::decode(data); !image.isNull()) return image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.constData(), size_t(data.size()))) return {};
    // Straight into the layout the view paints (Qt's RGB32, 0xffRRGGBB a
    // pixel), with no second picture afterwards: a copy of 8 MB is several
    // milliseconds of the user's wait. Without an alpha channel in the file
    // every pixel comes opaque.
    const bool translucent = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage image(int(png.width), int(png.height), QImage::Format_RGB32);
    if (image.isNull() || !png_image_finish_read(&png, nullptr, image.bits(),
                                                 png_int_32(image.bytesPerLine()), nullptr)) {
        png_image_free(&png);
        return {};
    }
    // The screen is opaque whatever the file says: its alpha goes, the
    // colours stay, as Qt's conversion to RGB32 does it.
    if (translucent)
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] |= 0xff000000u;
        }
    return image;
}

// The next whitespace-separated number of a PPM header, comments skipped.
std::optional<long long> headerNumber(const QByteArray& d, qsizetype& at) {
    for (;;) {
        while (at < d.size() && std::isspace(static_cast<unsigned char>(d[at])))
            ++at;
        if (at < d.size() && d[at] == '#') {
            while (at < d.size() && d[at] != '\n')
                ++at;
            continue;
        }
        break;
    }
    long long n = 0;
    const qsizetype start = at;
    while (at < d.size() && std::isdigit(static_cast<unsigned char>(d[at])) && n < (1LL << 40))
        n = n * 10 + (d[at++] - '0');
    if (at == start) return std::nullopt;
    return n;
}

struct PpmHeader {
    QSize size;
    qsizetype pixelsAt = 0;
};

std::optional<PpmHeader> ppmHeader(const QByteArray& d) {
    qsizetype at = 2;
    const auto w = headerNumber(d, at), h = headerNumber(d, at), max = headerNumber(d, at);
    // One whitespace byte ends the header; only one byte a sample is
    // what grim writes.
    if (!w || !h || !max || *w <= 0 || *h <= 0 || *max != 255 || *w > 0x7fff || *h > 0x7fff ||
        at >= d.size())
        return std::nullopt;
    return PpmHeader{QSize(int(*w), int(*h)), at + 1};
}

QImage fromPpm(const QByteArray& d) {
    const auto header = ppmHeader(d);
    if (!header) return {};
    const int w = header->size.width();
    if (d.size() - header->pixelsAt < qsizetype(w) * header->size.height() * 3) return {};
    // Straight into RGB32 too, not through a 24-bit picture.
    QImage image(header->size, QImage::Format_RGB32);
    if (image.isNull()) return {};
    const auto* in = reinterpret_cast<const uchar*>(d.constData() + header->pixelsAt);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x, in += 3)
            row[x] = qRgb(in[0], in[1], in[2]);
    }
    return image;
}

} // namespace

QImage decode(const QByteArray& data) {
    if (data.startsWith(pngrows::kSignature)) return fromPng(data);
    if (data.startsWith("P6")) return fromPpm(data);
    return {};
}

QSize size(const QByteArray& data) {
    // A PNG's first chunk is its header, the size in its first eight bytes.
    if (data.startsWith(pngrows::kSignature) && data.size() >= 24 && data.mid(12, 4) == "IHDR") {
        const auto* header = reinterpret_cast<const uchar*>(data.constData());
        const quint32 w = pngrows::bigEndian32(header + 16), h = pngrows::bigEndian32(header + 20);
        if (w > 0 && h > 0 && w <= 0x7fffffffu && h <= 0x7fffffffu) return QSize(int(w), int(h));
        return {};
    }
    if (data.startsWith("P6"))
        if (const auto header = ppmHeader(data)) return header->size;
    return {};
}

} // namespace portalpicture
