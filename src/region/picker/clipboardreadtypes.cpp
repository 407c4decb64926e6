#include "region/picker/clipboardreadtypes.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstdlib>

namespace clipboardpicture {
namespace {
std::uint32_t be32(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t le32(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}
std::uint16_t le16(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
    return std::uint16_t(p[1] << 8 | p[0]);
}

std::optional<Stated> pngHeader(const QByteArray& d) {
    // The signature, then the first chunk, which must be the header.
    if (d.size() < 33 || !d.startsWith("\x89PNG\r\n\x1a\n") || d.mid(12, 4) != "IHDR")
        return std::nullopt;
    const std::uint32_t w = be32(d, 16), h = be32(d, 20);
    if (w == 0 || h == 0 || w > kLongestSide || h > kLongestSide) return std::nullopt;
    return Stated{QSize(int(w), int(h)), d[24] == 16 ? 8 : 4};
}

std::optional<Stated> bmpHeader(const QByteArray& d) {
    if (d.size() < 26 || !d.startsWith("BM")) return std::nullopt;
    const std::uint32_t infoSize = le32(d, 14);
    qint64 w = 0, h = 0;
    if (infoSize == 12) {
        w = le16(d, 18);
        h = le16(d, 20);
    } else if (infoSize >= 40 && d.size() >= 30) {
        // Negative heights are top-down pictures.
        w = std::int32_t(le32(d, 18));
        h = std::abs(qint64(std::int32_t(le32(d, 22))));
    } else {
        return std::nullopt;
    }
    if (w <= 0 || h <= 0 || w > kLongestSide || h > kLongestSide) return std::nullopt;
    return Stated{QSize(int(w), int(h)), 4};
}
} // namespace

QByteArrayList mimeTypes() {
    return {QByteArrayLiteral("image/png"), QByteArrayLiteral("image/bmp"),
            QByteArrayLiteral("image/x-bmp")};
}

std::optional<Coding> codingOf(const QByteArray& mimeType) {
    if (mimeType == "image/png") return Coding::Png;
    if (mimeType == "image/bmp" || mimeType == "image/x-bmp") return Coding::Bmp;
    return std::nullopt;
}

std::optional<Stated> statedSize(const QByteArray& data, Coding coding) {
    return coding == Coding::Png ? pngHeader(data) : bmpHeader(data);
}

bool withinBound(const Stated& stated) {
    return qint64(stated.size.width()) * stated.size.height() * stated.bytesPerPixel <=
           kLargestDecoded;
}

QImage decode(const QByteArray& data, Coding coding) {
    if (data.size() > kLargestData) return {};
    const std::optional<Stated> stated = statedSize(data, coding);
    if (!stated || !withinBound(*stated)) return {};
    QByteArray copy = data;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer, coding == Coding::Png ? "png" : "bmp");
    // Only the decoder named, whatever the content looks like.
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image) || image.size() != stated->size) return {};
    return image;
}

QImage decode(const QByteArray& data, const QByteArray& mimeType) {
    const std::optional<Coding> coding = codingOf(mimeType);
    return coding ? decode(data, *coding) : QImage();
}

} // namespace clipboardpicture
