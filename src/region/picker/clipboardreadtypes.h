#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QImage>
#include <QSize>

#include <optional>

// What is taken from another program's clipboard: PNG and BMP only, each
// decoded as the type it was offered under and never as what its content
// looks like, and only within a bound read from its header before any
// decoding starts. Whoever owns the clipboard (any program, a remote
// desktop's or a virtual machine's clipboard bridge among them) thus gets
// no other decoder run and no allocation beyond the bound.
namespace clipboardpicture {

enum class Coding { Png, Bmp };

// Encoded data beyond this is not taken in at all.
inline constexpr qsizetype kLargestData = qsizetype(256) << 20;
// Neither side may exceed this, and the decoded picture may not exceed
// kLargestDecoded bytes: 32 Mi pixels at the four bytes a pixel of 8-bit
// channels, 16 Mi at the eight of 16-bit ones. That is also the image
// readers' own default limit, which this program never changes.
inline constexpr qint64 kLongestSide = 32767;
inline constexpr qint64 kLargestDecoded = qint64(128) << 20;

// The types asked for, in the order they are preferred: lossless with
// transparency first.
QByteArrayList mimeTypes();
std::optional<Coding> codingOf(const QByteArray& mimeType);

// The size the header states with the bytes a decoded pixel takes, or
// nothing when the header is not one of `coding`.
struct Stated {
    QSize size;
    int bytesPerPixel = 4;
};
std::optional<Stated> statedSize(const QByteArray& data, Coding coding);
bool withinBound(const Stated& stated);

// The picture, or the empty one when the data is beyond the bound or does
// not decode as `coding`.
QImage decode(const QByteArray& data, Coding coding);
// Decodes data offered under `mimeType`; a type not read gives nothing.
QImage decode(const QByteArray& data, const QByteArray& mimeType);

} // namespace clipboardpicture
