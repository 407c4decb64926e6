#pragma once

#include <Qt>

// The form handlers take the mouse button and the shift keys as bit sets:
// 1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
namespace mouseargs {

inline int button(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

inline int shift(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

} // namespace mouseargs
