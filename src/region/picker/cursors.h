#pragma once

#include <QCursor>
#include <QPixmap>

// Pointers drawn for this program.
namespace cursors {
// The picker's pointer: a thin cross, 32 x 32, hot spot at its centre.
QPixmap thinCrossPicture();
QCursor thinCross();
inline constexpr int kThinCrossHotSpot = 15;
// The control button's pointer: a small magnifying glass whose hot spot is
// the centre of its lens.
QCursor magnifier();
} // namespace cursors
