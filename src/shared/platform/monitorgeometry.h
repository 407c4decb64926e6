#pragma once

#include <QRect>

#include <optional>

class QScreen;

// A monitor's own pixels in the window system's coordinates, where the
// window system can say. The toolkit gives a scaled monitor's size only in
// rounded logical pixels, from which the pixel count cannot always be had
// back (1366 pixels at 1.5 are 911 logical ones, and so are 1367).
std::optional<QRect> windowSystemGeometry(const QScreen* screen);
