#pragma once

#include <QRect>
#include <QRectF>

// Rectangles between Qt's logical pixels and a monitor's device
// pixels, `ratio` of them to a logical pixel each way.
namespace devicepixels {

// A rectangle of whole device pixels, to be drawn in logical coordinates.
QRectF toLogical(const QRect& device, double ratio);

// The device pixels that a logical rectangle touches, and the logical
// pixels to repaint so that all of a device rectangle is repainted. At a
// fractional ratio Qt rounds the corner and the size of an area
// apart on their way to device pixels, which can leave a device pixel
// between two logical ones out of both: these reach one pixel further.
QRect covering(const QRect& logical, double ratio);
QRect coveringLogical(const QRect& device, double ratio);

} // namespace devicepixels
