#include "magnifier/editor/shapeselect.h"

#include <QLineF>

#include <utility>

namespace drawing {

void ShapeSelect::hold(std::optional<std::size_t> index) {
    m_index = index;
    m_grip = Grip::None;
}

void ShapeSelect::follow(const Drawing& drawing) {
    if (m_index && *m_index >= drawing.shapes().size()) hold(std::nullopt);
}

std::array<QPointF, 4> ShapeSelect::grips(const Shape& shape) {
    const QRectF f = shape.frame();
    if (!shape.resizable()) return {};
    return {f.topLeft(), f.topRight(), f.bottomRight(), f.bottomLeft()};
}

ShapeSelect::Grip ShapeSelect::press(const Drawing& drawing, QPointF screenPoint,
                                     const QTransform& pictureToScreen) {
    follow(drawing);
    m_grip = Grip::None;
    bool invertible = false;
    const QTransform back = pictureToScreen.inverted(&invertible);
    if (!invertible) return m_grip;
    m_from = m_to = back.map(screenPoint);
    if (m_index) {
        const Shape& s = drawing.shapes()[*m_index];
        if (s.resizable()) {
            const auto corners = grips(s);
            for (std::size_t i = 0; i < corners.size(); ++i)
                if (QLineF(pictureToScreen.map(corners[i]), screenPoint).length() <= GripReach) {
                    m_grip = Grip(int(Grip::TopLeft) + int(i));
                    return m_grip;
                }
        }
    }
    m_index = drawing.hitTestOnScreen(screenPoint, pictureToScreen);
    if (m_index) m_grip = Grip::Body;
    return m_grip;
}

// The frame with the dragged corner at the pointer and the opposite one
// where it was.
QRectF ShapeSelect::stretched(const Shape& shape, Grip grip) const {
    const QRectF f = shape.frame();
    const QPointF p = m_to;
    switch (grip) {
    case Grip::TopLeft:
        return QRectF(p, f.bottomRight());
    case Grip::TopRight:
        return QRectF(QPointF(f.left(), p.y()), QPointF(p.x(), f.bottom()));
    case Grip::BottomRight:
        return QRectF(f.topLeft(), p);
    case Grip::BottomLeft:
        return QRectF(QPointF(p.x(), f.top()), QPointF(f.right(), p.y()));
    default:
        return f;
    }
}

std::optional<Shape> ShapeSelect::preview(const Drawing& drawing) const {
    if (!m_index || m_grip == Grip::None || m_to == m_from || *m_index >= drawing.shapes().size())
        return std::nullopt;
    Shape s = drawing.shapes()[*m_index];
    if (m_grip == Grip::Body) {
        for (QPointF& p : s.points)
            p += m_to - m_from;
        return s;
    }
    return resized(s, stretched(s, m_grip));
}

bool ShapeSelect::release(Drawing& drawing, const QImage& picture) {
    const Grip grip = std::exchange(m_grip, Grip::None);
    if (!m_index || grip == Grip::None || m_to == m_from || *m_index >= drawing.shapes().size())
        return false;
    if (grip == Grip::Body)
        drawing.move(*m_index, m_to - m_from);
    else
        drawing.resize(*m_index, stretched(drawing.shapes()[*m_index], grip), picture);
    return true;
}

} // namespace drawing
