// Which reader serves the running program: the same build runs on X11 and
// on Wayland, and only the toolkit's platform at run time tells which.
#include "clipboardread_unix.h"

#include "clipboardreadtypes.h"

#include <QGuiApplication>

QByteArrayList clipboardPictureTypes() {
    return clipboardpicture::mimeTypes();
}

std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) return makeX11ClipboardPictureReader();
    if (platform.startsWith(QLatin1String("wayland"))) return makeWaylandClipboardPictureReader();
    return nullptr;
}
