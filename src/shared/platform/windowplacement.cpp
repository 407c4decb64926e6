#include "shared/platform/windowplacement.h"

#include "shared/platform/systemchoice.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace placement {

bool programPlacesWindows() {
    return systemChoice().programPlacesWindows();
}

bool picturesShowClosingWindows() {
    return systemChoice().picturesShowClosingWindows();
}

void cover(QWidget& window, QScreen* monitor, const QRect& area) {
    // On its monitor before it is placed: a logical geometry means device
    // pixels only on the monitor whose ratio it was worked out with.
    if (monitor && window.screen() != monitor) window.setScreen(monitor);
    if (programPlacesWindows()) {
        if (window.geometry() != area) window.setGeometry(area);
        // The window manager of a Wayland desktop's X server (GNOME's) keeps
        // any other window out of its top bar's strip.
        if (systemChoice().windows == WindowSystem::WaylandDesktopX11 &&
            !(window.windowState() & Qt::WindowFullScreen))
            window.setWindowState(window.windowState() | Qt::WindowFullScreen);
        return;
    }
    // The size is what the compositor gives a full-screen window; asking
    // for it all the same lets the first paint have the right one.
    if (window.size() != area.size()) window.resize(area.size());
    if (!(window.windowState() & Qt::WindowFullScreen))
        window.setWindowState(window.windowState() | Qt::WindowFullScreen);
}

void resize(QWidget& window, const QSize& size) {
    if (programPlacesWindows())
        window.resize(size);
    else
        window.setFixedSize(size);
}

bool moveWithPointer(QWidget& window) {
    if (programPlacesWindows()) return false;
    QWindow* handle = window.windowHandle();
    return handle && handle->startSystemMove();
}

} // namespace placement
