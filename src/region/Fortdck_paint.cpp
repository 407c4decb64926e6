// The magnified-region window in device pixels: its size, the picture's
// place in it, and painting, so that each picture pixel is a whole square of
// device pixels at any scale factor of the monitor.
#include "region/Fortdck.h"

#include "region/frmMainwn.h"
#include "region/picker/devicepixels.h"
#include "shared/colouraids.h"
#include "shared/stretch.h"

#include <QCursor>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
const QColor kBackColor(0xC0, 0xC0, 0xFF);
const QColor kBorderColor(0, 0, 0);

// Device pixels of so many logical ones, rounded as Qt rounds a
// window's size for its backing store.
int deviceSpan(int logicalPx, double ratio) {
    return qRound(logicalPx * ratio);
}

// The source pixel that device pixel `i` of a picture stretched over
// `dstSize` device pixels shows: exact whole squares for whole
// enlargements, whatever the size.
int sourceIndex(int i, int srcSize, int dstSize) {
    return int(std::int64_t(i) * srcSize / dstSize);
}
} // namespace

double Fortdck::ratio() const {
    return screen().DevicePixelRatio;
}

int Fortdck::borderDevicePx() const {
    // As many whole device pixels as the logical border holds.
    return std::max(1, int(std::floor(kBorderPx * ratio())));
}

int Fortdck::windowSpanPx(double pictureDevicePx, int borderDevicePx, int limitPx) const {
    // The fewest logical pixels whose device pixels hold the whole picture
    // inside the borders; the rest goes to the background. Qt asks
    // the window manager to size the window in steps of one logical pixel's
    // worth of device pixels, rounded: a size off those steps would be cut
    // by a device pixel that Qt then never paints.
    const double r = ratio();
    const int step = std::max(1, qRound(r));
    const int need = std::max(0, units::cint(pictureDevicePx));
    int span = std::max(2 * kBorderPx, int(std::floor((need + 2 * borderDevicePx - 0.5) / r)));
    while (deviceSpan(span, r) - 2 * borderDevicePx < need || deviceSpan(span, r) % step != 0)
        ++span;
    return std::min(span, limitPx);
}

QSize Fortdck::deviceSize() const {
    return {deviceSpan(width(), ratio()), deviceSpan(height(), ratio())};
}

QRect Fortdck::clientDeviceRect() const {
    const int b = borderDevicePx();
    const QSize d = deviceSize();
    return {b, b, std::max(0, d.width() - 2 * b), std::max(0, d.height() - 2 * b)};
}

QRect Fortdck::pictureDeviceRect() const {
    const units::Screen s = screen();
    const QRect client = clientDeviceRect();
    QRect pic(client.left() + units::cint(s.toDeviceX(Imayulanpic.Left)),
              client.top() + units::cint(s.toDeviceY(Imayulanpic.Top)),
              units::cint(s.toDeviceX(Imayulanpic.Width)),
              units::cint(s.toDeviceY(Imayulanpic.Height)));
    // A picture that the client area holds is shown whole: its place, in
    // twips, may round to a device pixel that would put its last column
    // under the border.
    if (pic.width() <= client.width())
        pic.moveLeft(
            std::clamp(pic.left(), client.left(), client.left() + client.width() - pic.width()));
    if (pic.height() <= client.height())
        pic.moveTop(
            std::clamp(pic.top(), client.top(), client.top() + client.height() - pic.height()));
    return pic;
}

QRectF Fortdck::toLogical(const QRect& device) const {
    return devicepixels::toLogical(device, ratio());
}

QRectF Fortdck::pictureRectPx() const {
    return toLogical(pictureDeviceRect());
}

void Fortdck::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = devicepixels::covering(event->rect(), ratio());
    const QRect client = clientDeviceRect();
    const QRect target = pictureDeviceRect();
    const Picture& pic = Imayulanpic.picture;
    const QRect visible = pic.isNull() ? QRect() : target & client & dirty;
    // The background wherever no picture pixel is, and under one that lets
    // it show through.
    QRegion back(client & dirty);
    if (!visible.isEmpty() && !pic.hasAlphaChannel()) back -= visible;
    for (const QRect& r : back)
        p.fillRect(toLogical(r), kBackColor);
    if (!visible.isEmpty()) {
        drawEnlarged(p, visible, target);
        drawCrosshairs(p, visible);
    }
    // Everything outside the client area is border, to the last device
    // pixel of the window however its size was rounded.
    for (const QRect& r : QRegion(dirty) - client)
        p.fillRect(toLogical(r), kBorderColor);
}

const Picture& Fortdck::shownPicture() {
    const Picture& pic = Imayulanpic.picture;
    const colouraids::ColourRule& rule = m_main.aids().rule();
    if (!rule.changesColour()) {
        m_coloured = Picture();
        return pic;
    }
    if (m_coloured.isNull() || m_colouredFrom != pic.cacheKey() || !(m_colouredRule == rule)) {
        m_coloured = colouraids::transformed(pic, rule);
        m_colouredFrom = pic.cacheKey();
        m_colouredRule = rule;
    }
    return m_coloured;
}

void Fortdck::aidsChanged(ColourAids::Aspect aspect) {
    if (aspect != ColourAids::Aspect::Band) update();
}

void Fortdck::drawCrosshairs(QPainter& p, const QRect& visible) {
    if (m_main.aids().crosshairs() != colouraids::Switch::On) return;
    const QRect area = toLogical(pictureDeviceRect() & clientDeviceRect()).toAlignedRect();
    const QPoint at = mapFromGlobal(QCursor::pos());
    if (!area.contains(at)) return;
    p.save();
    p.setClipRect(toLogical(visible));
    for (const QRect& arm : colouraids::overlay::crosshairArms(area, at))
        p.fillRect(arm, QColor::fromRgba(colouraids::overlay::kCrosshairColour));
    p.restore();
}

void Fortdck::drawEnlarged(QPainter& p, const QRect& visible, const QRect& target) {
    const Picture& pic = shownPicture();
    if (m_main.aids().smoothing() == colouraids::Smoothing::Smooth) {
        // Each device pixel mixes the four nearest picture pixels.
        p.save();
        p.setClipRect(toLogical(visible));
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(toLogical(target), pic, QRectF(pic.rect()));
        p.restore();
        return;
    }
    // Where the window paints into a plain image, straight into its device
    // pixels, with no enlarged copy in between.
    const QPaintEngine* engine = p.paintEngine();
    if (auto* store = engine ? dynamic_cast<QImage*>(engine->paintDevice()) : nullptr;
        store && stretch::supports(*store, pic)) {
        stretch::paintStretched(p, QRegion(toLogical(visible).toAlignedRect()), toLogical(target),
                                pic, QRectF(pic.rect()));
        return;
    }
    const QPoint first(sourceIndex(visible.left() - target.left(), pic.width(), target.width()),
                       sourceIndex(visible.top() - target.top(), pic.height(), target.height()));
    const QPoint last(sourceIndex(visible.right() - target.left(), pic.width(), target.width()),
                      sourceIndex(visible.bottom() - target.top(), pic.height(), target.height()));
    const QRect src(first, last);
    // Only the source pixels that are shown are read and converted: a huge
    // picture is neither enlarged nor converted as a whole.
    const QImage::Format format =
        pic.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage part = (src == pic.rect() ? pic : pic.copy(src)).convertToFormat(format);

    // Enlarged here, pixel by pixel, rather than by the painter: its scaling
    // steps in fixed point and drifts by a device pixel over a wide screen.
    if (m_enlarged.format() != format || m_enlarged.width() < visible.width() ||
        m_enlarged.height() < visible.height())
        m_enlarged = QImage(visible.size().expandedTo(m_enlarged.size()), format);
    std::vector<int> columns(std::size_t(visible.width()));
    for (int i = 0; i < visible.width(); ++i)
        columns[std::size_t(i)] =
            sourceIndex(visible.left() + i - target.left(), pic.width(), target.width()) -
            first.x();
    int previous = -1;
    for (int j = 0; j < visible.height(); ++j) {
        auto* out = reinterpret_cast<QRgb*>(m_enlarged.scanLine(j));
        const int row =
            sourceIndex(visible.top() + j - target.top(), pic.height(), target.height()) -
            first.y();
        if (row == previous) {
            std::memcpy(out, m_enlarged.constScanLine(j - 1),
                        std::size_t(visible.width()) * sizeof(QRgb));
            continue;
        }
        const auto* in = reinterpret_cast<const QRgb*>(part.constScanLine(row));
        for (int i = 0; i < visible.width(); ++i)
            out[i] = in[columns[std::size_t(i)]];
        previous = row;
    }
    p.drawImage(toLogical(visible), m_enlarged, QRectF(QPointF(0, 0), QSizeF(visible.size())));
}
