#pragma once

#include <QRect>

#include <optional>

class QScreen;

// A monitor's own pixels in X11's or Windows' coordinates, where they can
// say. Qt gives a scaled monitor's size only in
// rounded logical pixels, from which the pixel count cannot always be had
// back (1366 pixels at 1.5 are 911 logical ones, and so are 1367).
std::optional<QRect> windowSystemGeometry(const QScreen* screen);
