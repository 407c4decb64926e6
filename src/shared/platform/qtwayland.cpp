#include "shared/platform/qtwayland.h"

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>

wl_display* qtWaylandDisplay() {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    return native ? static_cast<wl_display*>(
                        native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")))
                  : nullptr;
}
