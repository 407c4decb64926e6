#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

// The PNG a desktop writes of its screen (8 bits a channel, RGB or RGBA,
// not interlaced) decoded straight into Qt's RGB32, opaque, four rows at a
// time and bands of rows on up to four cores: the portal's picture is on
// the user's wait for a view, and a general reader spends much longer on
// it. Any other PNG, or one that does not decode, gives the empty
// picture; the caller then tries a general reader, which says why.
namespace pngrows {
// What every PNG file starts with, and how it writes its numbers.
inline constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
inline std::uint32_t bigEndian32(const uchar* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

QImage decode(const QByteArray& data);
} // namespace pngrows
