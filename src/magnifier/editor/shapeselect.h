#pragma once

#include "magnifier/editor/drawing.h"

#include <array>
#include <optional>

namespace drawing {

// The select tool: the one shape it holds, and what a drag does to it. A
// press on a corner grip of the held shape resizes it, a press on a shape
// holds that one (the topmost) and moves it, a press elsewhere lets go.
// Step numbers and text have no grips: they only move, their size being
// the width they were made with.
class ShapeSelect {
  public:
    enum class Grip : quint8 { None, Body, TopLeft, TopRight, BottomRight, BottomLeft };
    // Screen pixels: how large a grip is drawn, and how near a press takes it.
    static constexpr qreal GripSize = 7;
    static constexpr qreal GripReach = 6;

    std::optional<std::size_t> held() const { return m_index; }
    Grip grip() const { return m_grip; }
    void hold(std::optional<std::size_t> index);
    // Lets go of a shape that an undo, a redo or a clear took away.
    void follow(const Drawing& drawing);

    // The grips of `shape` in picture pixels: top-left, top-right,
    // bottom-right, bottom-left; none for shapes that only move.
    static std::array<QPointF, 4> grips(const Shape& shape);

    Grip press(const Drawing& drawing, QPointF screenPoint, const QTransform& pictureToScreen);
    void drag(QPointF picturePoint) { m_to = picturePoint; }
    // The held shape as the drag leaves it; none without a drag.
    std::optional<Shape> preview(const Drawing& drawing) const;
    // Makes the drag one step of `drawing`; `picture` gives a pixelated box
    // its blocks anew. False when it changed nothing.
    bool release(Drawing& drawing, const QImage& picture);
    void cancel() { m_grip = Grip::None; }

  private:
    QRectF stretched(const Shape& shape, Grip grip) const;
    std::optional<std::size_t> m_index;
    Grip m_grip = Grip::None;
    QPointF m_from;
    QPointF m_to;
};

} // namespace drawing
