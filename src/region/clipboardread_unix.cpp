// Which reader serves the running program: the same build runs on X11 and
// on Wayland, and only the toolkit's platform at run time tells which.
#include "clipboardread_unix.h"

#include <QGuiApplication>
#include <QImageReader>

QByteArrayList clipboardPictureTypes() {
    QByteArrayList types{"image/png", "image/bmp", "image/x-bmp", "image/tiff"};
    for (const QByteArray& t : QImageReader::supportedMimeTypes())
        if (!types.contains(t)) types << t;
    types.removeIf(
        [](const QByteArray& t) { return QImageReader::imageFormatsForMimeType(t).isEmpty(); });
    return types;
}

std::unique_ptr<ClipboardPictureReader> makeClipboardPictureReader() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) return makeX11ClipboardPictureReader();
    if (platform.startsWith(QLatin1String("wayland"))) return makeWaylandClipboardPictureReader();
    return nullptr;
}
