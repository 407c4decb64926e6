#include "raster/surface.h"

#include <QPainter>
#include <QPen>

#include <atomic>

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

Surface::Surface(QImage image, Format format, QPoint origin)
    : m_image(std::move(image)), m_format(format), m_origin(origin) {
    ++g_live;
}

Surface::~Surface() {
    --g_live;
}

int Surface::liveCount() {
    return g_live.load();
}

void Surface::setFormat(Format format) {
    QImage image = blankImage(m_image.size(), format);
    if (image.isNull()) return;
    m_image = std::move(image);
    m_format = format;
}

void Surface::fillRect(const QRect& rect, Colour colour) {
    const QRect r = rect.intersected(window()).translated(-m_origin);
    if (r.isEmpty()) return;
    if (m_format == Format::Mono) {
        const quint8 bit = monoBit(colour);
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(m_image.scanLine(y) + r.left(), r.width(), bit);
        return;
    }
    const QRgb value = toRgb(colour);
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(m_image.scanLine(y)) + r.left(), r.width(), value);
}

Colour Surface::pixel(QPoint p) const {
    const QPoint local = p - m_origin;
    if (!m_image.rect().contains(local)) return Black;
    if (m_format == Format::Mono)
        return m_image.constScanLine(local.y())[local.x()] ? White : Black;
    return fromRgb(m_image.pixel(local));
}

template <typename Draw> void Surface::paint(Colour pen, int penWidth, Draw&& draw) {
    QPainter painter(&m_image);
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
