// Where the toolkit's stay-on-top flag is all there is, raising the window
// is what is left to do.
#include "platform/stacking.h"

#include <QWidget>

void restack(QWidget* window, bool topmost) {
    if (topmost) window->raise();
}

void bringBack(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
}
