#pragma once

#include <QImage>
#include <QRectF>
#include <QRegion>

class QPainter;

// Nearest-neighbour stretching of a rectangle of a picture onto a
// rectangle of another, for pictures that are drawn enlarged on every
// frame. A destination row that samples the same source row as the one
// above is copied instead of sampled again, so a 2x view costs about half
// a frame of work.
namespace stretch {

// Whether stretchNearest() can draw `src` onto `dst` (32-bit pixels, the
// source opaque). Otherwise the caller draws with QPainter.
bool supports(const QImage& dst, const QImage& src);

// Draws `source` (pixels of `src`, may be fractional) stretched onto
// `target` (pixels of `dst`, may be fractional), touching only the pixels
// of `clip` whose centres lie inside `target`. Each destination pixel takes
// the source pixel under its centre.
void stretchNearest(QImage& dst, const QRect& clip, const QRectF& target, const QImage& src,
                    const QRectF& source);

// Paints `source` of `pic` stretched onto `target` (the painter's logical
// pixels) within `dirty`: straight into the backing store's device pixels
// where it is a plain image, with QPainter otherwise.
void paintStretched(QPainter& painter, const QRegion& dirty, const QRectF& target,
                    const QImage& pic, const QRectF& source);

// As paintStretched(), and fills every other pixel of `dirty` with `back`:
// on the device pixels the picture leaves out, so that a picture edge that
// falls inside a pixel leaves nothing of an earlier frame behind.
void paintStretchedOn(QPainter& painter, const QRegion& dirty, const QRectF& target,
                      const QImage& pic, const QRectF& source, const QColor& back);

// The step in the source per destination pixel. A step within rounding of
// a 65536th is taken as that: sizes a few conversions away from such a
// step then sample the same pixels here as on the server, whose steps are
// in those units.
double step(double source, double target);

// The pixels stretchNearest() draws for `target`: those whose centres lie
// inside it.
QRect coveredPixels(const QRectF& target);

} // namespace stretch
