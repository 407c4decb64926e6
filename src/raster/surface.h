#pragma once

#include "raster/colour.h"

#include <QImage>
#include <QLine>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <memory>
#include <optional>
#include <vector>

namespace raster {

enum class Format { Colour, Mono };
enum class Rop : quint32;

// A drawing surface: a picture of one format plus the drawing state that goes
// with it (background and text colours for format conversions, a current
// position for lines, and at most one traced path).
//
// A surface may cover only a window of a larger picture: it then takes and
// clips picture coordinates, which lets a frame be composed over just the part
// that changed with the very same steps as over the whole picture.
//
// The pixels stay where they were put for the surface's whole life (setFormat
// on a created surface aside), so a window can paint straight from them while
// the layer draws into them.
class Surface {
  public:
    // Null when the size is empty or the memory cannot be had; callers treat
    // a missing surface as one that draws nothing.
    static std::unique_ptr<Surface> create(QSize size, Format format = Format::Colour);
    static std::unique_ptr<Surface> create(const QRect& window, Format format = Format::Colour);
    // Takes over a captured picture as a colour surface without copying it
    // when it is 32-bit RGB and held nowhere else (pass it with std::move);
    // otherwise it is converted or copied once. Whatever memory the picture
    // wraps is kept and given back through the picture's own cleanup when the
    // surface goes. Null for a null picture.
    static std::unique_ptr<Surface> adopt(QImage picture);

    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    Format format() const { return m_format; }
    QRect window() const { return QRect(m_origin, m_image.size()); }
    QPoint origin() const { return m_origin; }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    // A read-only view for painting from and for reading. Keep no copy of it:
    // a copy shares the pixels, which the layer goes on changing in place.
    // Its cache key does not change with the pixels either.
    const QImage& image() const { return m_image; }
    // Differs after every write to the pixels from what it was before, and
    // from that of every other surface: what a copy was taken of.
    quint64 revision() const { return m_revision; }

    Colour backgroundColour() const { return m_background; }
    void setBackgroundColour(Colour c) { m_background = c; }
    Colour textColour() const { return m_text; }
    void setTextColour(Colour c) { m_text = c; }

    // Puts a fresh picture of the other format in place, black, same size.
    // An adopted surface keeps its picture, since someone may be showing it.
    void setFormat(Format format);

    void fillRect(const QRect& rect, Colour colour);
    Colour pixel(QPoint p) const;

    void moveTo(QPoint p) { m_position = p; }
    QPoint position() const { return m_position; }
    void lineTo(QPoint p, Colour colour, int penWidth);
    void drawLines(const std::vector<QLine>& lines, Colour colour, int penWidth);
    // Two-pixel lines from (t, 0) to (0, t) for t = first, first + step, ...
    // up to last, cut to x >= 0 and y >= 0: the anti-diagonals x + y = t - 2
    // to t, the very pixels drawLines gives such lines, without its cost.
    void drawAntiDiagonals(int first, int step, int last, Colour colour);

    // A traced path stays with the surface until stroked, filled or turned
    // into a region, each of which uses it up.
    void setPath(const QPainterPath& path);
    bool hasPath() const { return m_path.has_value(); }
    void strokePath(Colour pen, int penWidth);
    void strokeAndFillPath(Colour pen, int penWidth, Colour brush);
    QRegion pathToRegion();

    // Surfaces alive in the process; lets a long session prove it frees them.
    static int liveCount();

  private:
    // The block copy writes through the pixels captured at creation, so that
    // no write can make the picture detach from its storage.
    friend void blt(Surface*, int, int, int, int, const Surface*, int, int, Rop);

    Surface(QImage image, Format format, QPoint origin);
    template <typename Draw> void paint(Colour pen, int penWidth, Draw&& draw);
    uchar* line(int y) const { return m_bits + y * m_stride; }
    void written();

    QImage m_image;
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    bool m_adopted = false;
    Format m_format;
    QPoint m_origin;
    Colour m_background = White;
    Colour m_text = Black;
    QPoint m_position;
    std::optional<QPainterPath> m_path;
    quint64 m_revision = 0;
};

} // namespace raster
