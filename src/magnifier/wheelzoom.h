#pragma once

#include "shared/units.h"
#include "shared/wheelnotches.h"

#include <QRectF>
#include <QSize>

// The wheel's zoom along one axis of the view, in device pixels.
namespace wheelzoom {

// Each notch scales by this much; eight notches come close to double.
constexpr double kStep = 1.25;
// Relative to the screen's own size.
constexpr double kSmallest = 1.0;
constexpr double kLargest = 16.0;
// Steps through the picture per pixel are in these units on the server.
constexpr double kStepUnits = 65536.0;

struct Span {
    double pos = 0;
    double size = 0;
    bool operator==(const Span&) const = default;
};

// The picture's span after `notches` (positive: larger) with the point at
// `pointer` kept in place. A notch never shrinks a picture the custom-size
// buttons made larger than the largest size, nor grows one they made
// smaller than the screen. The result covers [0, window) where it is large
// enough, as a drag leaves it; a smaller one stays inside the window.
Span zoom(Span picture, double screen, double window, double pointer, int notches);

// The view's wheel counts notches as the editor's does.
using wheelnotches::Notches;
using wheelnotches::takeNotches;

enum class Axes { Both, VerticalOnly };

// The picture control's place and size (twips of `screen`) after `notches`
// about the view's logical pixel `pointer`, in a view `window` twips large.
// `own` is the picture's own size in device pixels; an empty one stands for
// the screen's.
QRectF zoomPicture(const QRectF& picture, QSize own, const units::Screen& screen,
                   const QSizeF& window, const QPointF& pointer, int notches, Axes axes);

} // namespace wheelzoom
