#include "portalpicture.h"

#include <QSysInfo>

#include <png.h>

#include <cctype>
#include <cstring>
#include <optional>

namespace portalpicture {
namespace {
QImage fromPng(const QByteArray& data) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.constData(), size_t(data.size()))) return {};
    // Straight into the layout the screen's pictures are kept in (a 32-bit
    // 0xAARRGGBB a pixel), with no conversion afterwards: without an alpha
    // channel in the file every pixel comes opaque.
    const bool translucent = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage image(int(png.width), int(png.height),
                 translucent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() || !png_image_finish_read(&png, nullptr, image.bits(),
                                                 png_int_32(image.bytesPerLine()), nullptr)) {
        png_image_free(&png);
        return {};
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

QImage fromPpm(const QByteArray& d) {
    qsizetype at = 2;
    const auto w = headerNumber(d, at), h = headerNumber(d, at), max = headerNumber(d, at);
    // One whitespace byte ends the header; only one byte a sample is
    // what grim writes.
    if (!w || !h || !max || *w <= 0 || *h <= 0 || *max != 255 || *w > 0x7fff || *h > 0x7fff ||
        at >= d.size())
        return {};
    ++at;
    if (d.size() - at < *w * *h * 3) return {};
    QImage image(int(*w), int(*h), QImage::Format_RGB888);
    if (image.isNull()) return {};
    const qsizetype row = *w * 3;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), d.constData() + at + y * row, size_t(row));
    return image;
}
} // namespace

QImage decode(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n")) return fromPng(data);
    if (data.startsWith("P6")) return fromPpm(data);
    return {};
}

} // namespace portalpicture
