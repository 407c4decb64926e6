#pragma once

#include "shared/units.h"

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
// One notch of a classic wheel, in Qt's eighths of a degree.
constexpr int kNotch = 120;

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

// Adds a wheel delta to what is left over from earlier ones and takes the
// whole notches out of it, so that fine touchpad steps add up. A turn the
// other way drops what was left of the last direction.
int takeNotches(int& pending, int delta);

// A wheel's turns as they come, in whole notches.
class Notches {
  public:
    // The whole notches `delta` (Qt's eighths of a degree) completes.
    int take(int delta) { return takeNotches(m_pending, delta); }

  private:
    // Short of a notch.
    int m_pending = 0;
};

enum class Axes { Both, VerticalOnly };

// The picture control's place and size (twips of `screen`) after `notches`
// about the view's logical pixel `pointer`, in a view `window` twips large.
// `own` is the picture's own size in device pixels; an empty one stands for
// the screen's.
QRectF zoomPicture(const QRectF& picture, QSize own, const units::Screen& screen,
                   const QSizeF& window, const QPointF& pointer, int notches, Axes axes);

} // namespace wheelzoom
