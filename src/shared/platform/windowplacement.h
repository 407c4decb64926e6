#pragma once

#include <QRect>

class QScreen;
class QWidget;

// Where a window may go. On X11 a program places its own windows; a
// Wayland compositor places them itself, and the nearest a program comes to
// covering a monitor is a full-screen window on it.
namespace placement {

// Whether X11 or Windows puts windows where the program says: a Wayland
// compositor does not (systemchoice.h).
bool programPlacesWindows();

// Whether a window hidden a moment ago may still show in a picture of the
// screen: a Wayland compositor takes the picture as it composes the
// screen, and many fade a closed window out first (GNOME Shell over 150
// ms). No program can see that fade end.
bool picturesShowClosingWindows();

// Makes `window` cover `area` of `monitor`: by its geometry where the
// program places its windows, as a full-screen window on the monitor
// elsewhere.
void cover(QWidget& window, QScreen* monitor, const QRect& area);

// Gives `window` a new size. Where the compositor places windows the size
// is also its only one: a tiling compositor then floats the window at that
// size instead of stretching it over a tile.
void resize(QWidget& window, const QSize& size);

// Where the compositor places windows, hands a move of `window` that the
// user has begun with the pointer held down to the compositor, which then
// follows the pointer itself; there is no other way to move a window.
// Returns whether it did; where the program places its windows it does
// nothing, and the caller moves the window.
bool moveWithPointer(QWidget& window);

} // namespace placement
