#pragma once

#include <QPoint>
#include <QRect>

#include <QtGlobal>

#include <optional>
#include <vector>

class QWidget;

// What the program asks of X11 itself, where Qt does not tell. Where there
// is no X11 to ask, the answers are "cannot tell" and "no".

// Where the pointer is in X11's own pixels. Qt hands mouse positions over
// rounded to whole logical pixels, which on a scaled monitor leaves the
// device pixels between them out of reach.
std::optional<QPoint> nativePointerPosition();

// From now on, remembers where X11 put each pointer event.
void watchPointerEvents();
// Where the remembered pointer events of that time were, in X11's own
// pixels, latest last: the event being handled is among them,
// whatever the pointer has done since.
std::vector<QPoint> pointerEventPositions(quint64 time);

// Whether X11 still shows anything of a window just hidden: a window
// manager takes the frame it put around the window away only when it gets
// to it. Each question is a round trip.
bool stillShown(const QWidget& window);

// Where X11 shows `window`, its own area without a frame, in X11's
// pixels; nothing where it cannot tell.
std::optional<QRect> nativeWindowArea(const QWidget& window);
