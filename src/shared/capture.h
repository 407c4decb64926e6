#pragma once

#include "shared/platform/screengrabber.h"
#include "shared/units.h"

#include <QImage>

#include <cstdint>

// The picture object: an implicitly shared bitmap that frees itself with its
// last holder. A null image is the empty picture.
using Picture = QImage;

// The rectangle of CaptureRect, in pixels of the source: right and bottom
// are exclusive, so width = Right - Left.
struct RectL {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
};

// Wraps a captured bitmap into a picture in the pixel format that paints
// fastest. A bitmap that cannot be wrapped gives the empty picture.
Picture CreateBitmapPicture(const QImage& hBmp);

// Copies a rectangle of a picture the caller holds. Returns 1 and the
// picture, or 0 and the empty picture. A rectangle of zero width or height
// gives a 1 x 1 black picture, as GDI does for a zero-sized
// bitmap.
std::int32_t CaptureRect(const QImage& source, const RectL& rect, Picture& picture);

// CreateBitmapPicture with a status: 1 and the picture, or 0 and the empty
// picture.
std::int32_t BitmapToPicture(const QImage& bitmap, Picture& picture);
