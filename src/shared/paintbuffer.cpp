#include "shared/paintbuffer.h"

#include "shared/platform/screengrabber.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>

void readyPaintBuffer(QWidget& window, const QSize& size, ScreenGrabber& grabber) {
    QBackingStore* store = window.backingStore();
    if (!store || size.isEmpty() || store->size() == size) return;
    store->resize(size);
    // The device image exists once a paint has begun; an empty one draws
    // nothing, and the window paints all of itself when it is shown.
    store->beginPaint(QRegion());
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    store->endPaint();
    if (!image || image->isNull()) return;
    uchar* bits = image->bits();
    const qsizetype bytes = image->sizeInBytes();
    // Taken while X11 copies the screen on the other core, or while the
    // desktop answers the portal.
    grabber.setMeanwhile([bits, bytes] {
        for (qsizetype at = 0; at < bytes; at += 4096)
            *static_cast<volatile uchar*>(bits + at) = 0;
    });
}
