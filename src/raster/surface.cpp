#include "raster/surface.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <atomic>
#include <climits>

namespace raster {

namespace {

std::atomic<int> g_live{0};

// Monochrome pictures hold one byte per pixel, 0xFF for a set bit and 0 for a
// clear one, so that the bitwise raster operations keep them two-valued.
constexpr QImage::Format monoImageFormat = QImage::Format_Grayscale8;

QImage blankImage(QSize size, Format format) {
    QImage image(size, format == Format::Mono ? monoImageFormat : QImage::Format_RGB32);
    if (!image.isNull()) image.fill(format == Format::Mono ? 0u : 0xFF000000u);
    return image;
}

quint8 monoBit(Colour c) {
    return qGray(toRgb(c)) >= 128 ? 0xFF : 0x00;
}

QPen solidPen(Colour colour, int penWidth) {
    QPen pen(QColor::fromRgb(toRgb(colour)), penWidth, Qt::SolidLine,
             penWidth <= 1 ? Qt::FlatCap : Qt::SquareCap, Qt::MiterJoin);
    // A one-pixel pen must stay one pixel whatever the path looks like.
    pen.setCosmetic(penWidth <= 1);
    return pen;
}

} // namespace

std::unique_ptr<Surface> Surface::create(QSize size, Format format) {
    return create(QRect(QPoint(0, 0), size), format);
}

std::unique_ptr<Surface> Surface::create(const QRect& window, Format format) {
    if (window.width() <= 0 || window.height() <= 0) return nullptr;
    QImage image = blankImage(window.size(), format);
    if (image.isNull()) return nullptr;
    return std::unique_ptr<Surface>(new Surface(std::move(image), format, window.topLeft()));
}

std::unique_ptr<Surface> Surface::adopt(QImage picture) {
    if (picture.isNull()) return nullptr;
    if (picture.format() != QImage::Format_RGB32)
        picture = std::move(picture).convertToFormat(QImage::Format_RGB32);
    // Detaches now if anyone else holds the pixels or they are read-only, and
    // never again: the surface writes through this very pointer from here on.
    uchar* bits = picture.bits();
    if (!bits) return nullptr;
    // Captures leave the byte unused by RGB undefined; the layer and anything
    // painting from the picture take it to be opaque.
    const int w = picture.width();
    const int h = picture.height();
    const qsizetype stride = picture.bytesPerLine();
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<quint32*>(bits + y * stride);
        for (int x = 0; x < w; ++x)
            row[x] |= 0xFF000000u;
    }
    std::unique_ptr<Surface> s(new Surface(std::move(picture), Format::Colour, QPoint(0, 0)));
    s->m_adopted = true;
    return s;
}

// Writing goes through m_bits only, so that a copy of the picture someone
// keeps cannot make it detach.
Surface::Surface(QImage image, Format format, QPoint origin)
    : m_image(std::move(image)), m_format(format), m_origin(origin) {
    m_bits = m_image.bits();
    m_stride = m_image.bytesPerLine();
    ++g_live;
    written();
}

void Surface::written() {
    static std::atomic<quint64> last{0};
    m_revision = ++last;
}

Surface::~Surface() {
    --g_live;
}

int Surface::liveCount() {
    return g_live.load();
}

void Surface::setFormat(Format format) {
    if (m_adopted) return;
    QImage image = blankImage(m_image.size(), format);
    if (image.isNull()) return;
    m_image = std::move(image);
    m_bits = m_image.bits();
    m_stride = m_image.bytesPerLine();
    m_format = format;
    written();
}

void Surface::fillRect(const QRect& rect, Colour colour) {
    const QRect r = rect.intersected(window()).translated(-m_origin);
    if (r.isEmpty()) return;
    written();
    if (m_format == Format::Mono) {
        const quint8 bit = monoBit(colour);
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(line(y) + r.left(), r.width(), bit);
        return;
    }
    const QRgb value = toRgb(colour);
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(line(y)) + r.left(), r.width(), value);
}

Colour Surface::pixel(QPoint p) const {
    const QPoint local = p - m_origin;
    if (!m_image.rect().contains(local)) return Black;
    if (m_format == Format::Mono)
        return m_image.constScanLine(local.y())[local.x()] ? White : Black;
    return fromRgb(m_image.pixel(local));
}

template <typename Draw> void Surface::paint(Colour pen, int penWidth, Draw&& draw) {
    // A painter on the picture itself would detach it while a copy is held.
    written();
    QImage pixels(m_bits, width(), height(), m_stride, m_image.format());
    QPainter painter(&pixels);
    painter.translate(-m_origin);
    painter.setPen(solidPen(pen, penWidth));
    painter.setBrush(Qt::NoBrush);
    draw(painter);
}

void Surface::lineTo(QPoint p, Colour colour, int penWidth) {
    paint(colour, penWidth, [&](QPainter& painter) { painter.drawLine(m_position, p); });
    m_position = p;
}

void Surface::drawLines(const std::vector<QLine>& lines, Colour colour, int penWidth) {
    if (lines.empty()) return;
    paint(colour, penWidth, [&](QPainter& painter) {
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    });
    m_position = lines.back().p2();
}

void Surface::drawAntiDiagonals(int first, int step, int last, Colour colour) {
    if (step <= 0) return;
    const QRect r = window() & QRect(0, 0, INT_MAX, INT_MAX);
    if (r.isEmpty()) return;
    written();
    const quint8 bit = monoBit(colour);
    const QRgb value = toRgb(colour);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        // The lines that reach this row inside the window: t - 2 <= x + y <= t.
        const qint64 lowest = std::max<qint64>(first, qint64(y) + r.left());
        const qint64 highest = std::min<qint64>(last, qint64(y) + r.right() + 2);
        uchar* row = line(y - m_origin.y());
        for (qint64 t = first + (lowest - first + step - 1) / step * qint64(step); t <= highest;
             t += step) {
            const int from = int(std::max<qint64>(r.left(), t - 2 - y)) - m_origin.x();
            const int to = int(std::min<qint64>(r.right(), t - y)) - m_origin.x();
            if (m_format == Format::Mono)
                std::fill(row + from, row + to + 1, bit);
            else
                std::fill(reinterpret_cast<QRgb*>(row) + from,
                          reinterpret_cast<QRgb*>(row) + to + 1, value);
        }
    }
}

void Surface::setPath(const QPainterPath& path) {
    m_path = path;
    m_path->setFillRule(Qt::OddEvenFill);
    if (m_path->elementCount() > 0) {
        const QPainterPath::Element last = m_path->elementAt(m_path->elementCount() - 1);
        m_position = QPointF(last.x, last.y).toPoint();
    }
}

void Surface::strokePath(Colour pen, int penWidth) {
    if (!m_path) return;
    paint(pen, penWidth, [&](QPainter& painter) { painter.drawPath(*m_path); });
    m_path.reset();
}

void Surface::strokeAndFillPath(Colour pen, int penWidth, Colour brush) {
    if (!m_path) return;
    // Filling closes every figure, and the stroke follows the closed outline.
    m_path->closeSubpath();
    paint(pen, penWidth, [&](QPainter& painter) {
        painter.setBrush(QColor::fromRgb(toRgb(brush)));
        painter.drawPath(*m_path);
    });
    m_path.reset();
}

QRegion Surface::pathToRegion() {
    if (!m_path) return {};
    QRegion region(m_path->toFillPolygon().toPolygon(), Qt::OddEvenFill);
    m_path.reset();
    return region;
}

} // namespace raster
