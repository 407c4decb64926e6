// Stretching a drawn shape by the corners of its frame.
#include "magnifier/editor/drawing.h"

#include <QPolygonF>

namespace drawing {

QRectF Shape::frame() const {
    if (points.empty() || !resizable()) return {};
    return QPolygonF(QList<QPointF>(points.begin(), points.end())).boundingRect();
}

Shape resized(const Shape& shape, const QRectF& to, const QImage& picture) {
    Shape out = shape;
    if (shape.points.empty()) return out;
    if (!shape.resizable()) {
        const QPointF by = to.topLeft() - shape.points.front();
        for (QPointF& p : out.points)
            p += by;
        return out;
    }
    const QRectF from = shape.frame();
    // Along each axis: scaled where the frame has a length, carried along
    // with the frame's near edge where it has none.
    const auto map = [](qreal v, qreal from0, qreal fromLen, qreal to0, qreal toLen) {
        return fromLen > 0 ? to0 + (v - from0) * toLen / fromLen : v + (to0 - from0);
    };
    for (QPointF& p : out.points)
        p = QPointF(map(p.x(), from.left(), from.width(), to.left(), to.width()),
                    map(p.y(), from.top(), from.height(), to.top(), to.height()));
    if (shape.kind == Kind::Pixelate && !picture.isNull()) pixelate(out, picture);
    return out;
}

} // namespace drawing
