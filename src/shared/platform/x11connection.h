#pragma once

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

struct xcb_connection_t;

// Qt's own connection to the X server: requests on it are ordered
// with Qt's. Null where the program does not run on X11.
inline xcb_connection_t* x11Connection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
