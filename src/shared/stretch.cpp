#include "shared/stretch.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace stretch {

bool supports(const QImage& dst, const QImage& src) {
    const auto is32 = [](QImage::Format f) {
        return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
    };
    return is32(dst.format()) && src.format() == QImage::Format_RGB32;
}

namespace {
// The destination pixels whose centres lie inside [from, to).
std::pair<int, int> centresInside(double from, double to) {
    return {int(std::ceil(from - 0.5)), int(std::ceil(to - 0.5))};
}
} // namespace

QRect coveredPixels(const QRectF& target) {
    const auto [x0, x1] = centresInside(target.left(), target.right());
    const auto [y0, y1] = centresInside(target.top(), target.bottom());
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

void stretchNearest(QImage& dst, const QRect& clip, const QRectF& target, const QImage& src,
                    const QRectF& source) {
    if (target.width() <= 0 || target.height() <= 0 || source.width() <= 0 ||
        source.height() <= 0 || src.isNull())
        return;
    const QRect area = coveredPixels(target) & clip & dst.rect();
    if (area.isEmpty()) return;

    const int sxMin = std::max(0, int(std::floor(source.left())));
    const int sxMax = std::min(src.width(), int(std::ceil(source.right()))) - 1;
    const int syMin = std::max(0, int(std::floor(source.top())));
    const int syMax = std::min(src.height(), int(std::ceil(source.bottom()))) - 1;
    if (sxMax < sxMin || syMax < syMin) return;
    const double fx = step(source.width(), target.width());
    const double fy = step(source.height(), target.height());

    std::vector<int> column(area.width());
    for (int i = 0; i < area.width(); ++i) {
        const double s = source.left() + (area.left() + i + 0.5 - target.left()) * fx;
        column[i] = std::clamp(int(std::floor(s)), sxMin, sxMax);
    }
    const bool oneToOne = column.back() - column.front() == area.width() - 1;
    const std::size_t rowBytes = std::size_t(area.width()) * 4;
    int previous = -1;
    const quint32* previousRow = nullptr;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const double s = source.top() + (y + 0.5 - target.top()) * fy;
        const int sy = std::clamp(int(std::floor(s)), syMin, syMax);
        auto* out = reinterpret_cast<quint32*>(dst.scanLine(y)) + area.left();
        if (sy == previous) {
            std::memcpy(out, previousRow, rowBytes);
            continue;
        }
        const auto* in = reinterpret_cast<const quint32*>(src.constScanLine(sy));
        const int* col = column.data();
        const int n = area.width();
        if (oneToOne) {
            // Pixel for pixel: a straight run the compiler can vectorise.
            const quint32* run = in + col[0];
            for (int i = 0; i < n; ++i)
                out[i] = run[i] | 0xFF000000u;
        } else {
            for (int i = 0; i < n; ++i)
                out[i] = in[col[i]] | 0xFF000000u;
        }
        previous = sy;
        previousRow = out;
    }
}

namespace {
// The backing store's device pixels that a paint of `dirty` may touch, when
// it is an image that stretchNearest() can draw on; empty otherwise.
QImage* deviceStore(QPainter& painter, const QImage& pic) {
    // A painter that could not begin (a window in pixels Qt
    // cannot paint, as on an 8-bit screen) has no engine.
    const QPaintEngine* engine = painter.paintEngine();
    auto* store = engine ? dynamic_cast<QImage*>(engine->paintDevice()) : nullptr;
    const QTransform& t = painter.deviceTransform();
    if (store && t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0 &&
        supports(*store, pic))
        return store;
    return nullptr;
}

QRegion devicePixels(QPainter& painter, const QRegion& dirty) {
    const QTransform& t = painter.deviceTransform();
    QRegion allowed;
    for (const QRect& r : dirty)
        allowed += t.mapRect(QRectF(r)).toAlignedRect();
    const QRegion system = painter.paintEngine()->systemClip();
    if (!system.isEmpty()) allowed &= system;
    return allowed;
}

void fill(QImage& dst, const QRegion& region, const QColor& colour) {
    const quint32 pixel = colour.rgb() | 0xFF000000u;
    for (const QRect& r : region) {
        const QRect area = r & dst.rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* out = reinterpret_cast<quint32*>(dst.scanLine(y)) + area.left();
            std::fill(out, out + area.width(), pixel);
        }
    }
}

void paintWithPainter(QPainter& painter, const QRegion& dirty, const QRectF& target,
                      const QImage& pic, const QRectF& source) {
    const double sx = source.width() / target.width();
    const double sy = source.height() / target.height();
    for (const QRect& r : dirty) {
        const QRectF visible = target & QRectF(r);
        if (visible.isEmpty()) continue;
        painter.drawImage(visible, pic,
                          QRectF(source.x() + (visible.x() - target.x()) * sx,
                                 source.y() + (visible.y() - target.y()) * sy, visible.width() * sx,
                                 visible.height() * sy));
    }
}
} // namespace

void paintStretched(QPainter& painter, const QRegion& dirty, const QRectF& target,
                    const QImage& pic, const QRectF& source) {
    if (target.isEmpty() || source.isEmpty() || pic.isNull()) return;
    // The enlarged picture is drawn at memory speed and never materialised,
    // in the store's own device pixels, so that a scaled screen shows each
    // picture pixel as whole device pixels too.
    if (QImage* store = deviceStore(painter, pic)) {
        const QRectF deviceTarget = painter.deviceTransform().mapRect(target);
        for (const QRect& r : devicePixels(painter, dirty))
            stretchNearest(*store, r, deviceTarget, pic, source);
        return;
    }
    paintWithPainter(painter, dirty, target, pic, source);
}

void paintStretchedOn(QPainter& painter, const QRegion& dirty, const QRectF& target,
                      const QImage& pic, const QRectF& source, const QColor& back) {
    const bool drawn = !target.isEmpty() && !source.isEmpty() && !pic.isNull();
    if (QImage* store = drawn ? deviceStore(painter, pic) : nullptr) {
        const QRectF deviceTarget = painter.deviceTransform().mapRect(target);
        const QRegion allowed = devicePixels(painter, dirty);
        for (const QRect& r : allowed)
            stretchNearest(*store, r, deviceTarget, pic, source);
        fill(*store, allowed - coveredPixels(deviceTarget), back);
        return;
    }
    // QPainter decides itself which pixels an edge inside a pixel takes:
    // the background goes first and the picture over it.
    for (const QRect& r : dirty)
        painter.fillRect(r, back);
    if (drawn) paintWithPainter(painter, dirty, target, pic, source);
}

double step(double source, double target) {
    const double f = source / target;
    const double units = f * 65536.0;
    const double whole = std::round(units);
    return std::abs(units - whole) < 1e-6 ? whole / 65536.0 : f;
}

} // namespace stretch
