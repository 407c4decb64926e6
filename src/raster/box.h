#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QtGlobal>

namespace raster {

// A rectangle whose right and bottom edges lie outside it, so that
// right - left is the width; an empty box is all zeros.
struct Box {
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;

    qint32 width() const { return right - left; }
    qint32 height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toRect() const { return QRect(left, top, width(), height()); }
    Box shifted(qint32 dx, qint32 dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    friend bool operator==(const Box&, const Box&) = default;
};

// Boxes that do not overlap give the all-zero box, not a negative one.
Box intersect(const Box& a, const Box& b);

// The smallest box holding the region; all zeros for an empty region.
Box boundingBox(const QRegion& region);

bool contains(const QRegion& region, QPoint point);

} // namespace raster
