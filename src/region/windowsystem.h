#pragma once

#include <QPoint>

#include <optional>

class QWidget;

// What the program asks of the window system itself, where the toolkit
// does not tell. Where there is no window system to ask, the answers are
// "cannot tell" and "at once".

// Where the pointer is in the window system's own pixels. The toolkit
// hands mouse positions over rounded to whole logical pixels, which on a
// scaled monitor leaves the device pixels between them out of reach.
std::optional<QPoint> nativePointerPosition();

// Returns once the window system shows nothing more of a window just
// hidden, or after half a second: a window manager takes the frame it put
// around the window away only when it gets to it.
void awaitHidden(const QWidget& window);
