#include "shared/platform/screengrabber.h"

#include <chrono>

Q_LOGGING_CATEGORY(captureTiming, "zuz.capture.timing", QtWarningMsg)

void capturetiming::mark(const char* step) {
    if (!captureTiming().isDebugEnabled()) return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    qCDebug(captureTiming, "%s %.1f", step, std::chrono::duration<double, std::milli>(now).count());
}

void DirectScreenGrabber::request(const QRect& area, const QObject* asker) {
    QString why;
    const QImage picture = grabNow(area, why);
    if (picture.isNull())
        emit failed(asker, why);
    else
        emit grabbed(asker, picture);
}
