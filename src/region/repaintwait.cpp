#include "repaintwait.h"

#include "platform/screengrabber.h"
#include "platform/termination.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace {
// A program that has not answered its exposure yet still shows the button
// (toolkits leave the window's background alone), so looks need not wait
// for it; they only have to be far enough apart to catch a repaint under
// way. Each look is a small round trip.
constexpr int kLookEveryMs = 1;

// Whether most of `shown` is still the hidden window's picture: a
// compositor may blend its edges, but not most of it. On a scaled monitor
// the window's own rendering may be a device pixel smaller or larger than
// its place on the screen; the part both cover is compared.
bool stillShows(const QImage& shown, const QImage& hidden) {
    if (hidden.isNull() || shown.isNull()) return false;
    const QSize common = shown.size().boundedTo(hidden.size());
    const QSize slack = shown.size() - common + hidden.size() - common;
    if (common.isEmpty() || slack.width() > 2 || slack.height() > 2) return false;
    const QImage a = shown.convertToFormat(QImage::Format_RGB32);
    const QImage b = hidden.convertToFormat(QImage::Format_RGB32);
    qint64 same = 0;
    for (int y = 0; y < common.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < common.width(); ++x)
            same += (p[x] & 0xFFFFFF) == (q[x] & 0xFFFFFF);
    }
    return 2 * same > qint64(common.width()) * common.height();
}

QImage look(ScreenGrabber& grabber, const QRect& area) {
    return grabber.grab(grabber.desktopWindow(), false, area).convertToFormat(QImage::Format_RGB32);
}
} // namespace

RepaintWait awaitRepainted(ScreenGrabber& grabber, const QRect& nativeArea, const QImage& hidden,
                           int limitMs) {
    RepaintWait wait;
    if (nativeArea.isEmpty()) return {0, true};
    QElapsedTimer clock;
    clock.start();
    QImage previous = look(grabber, nativeArea);
    ++wait.looks;
    while (clock.elapsed() < limitMs && !termination::requested()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kLookEveryMs);
        const qint64 next =
            std::min<qint64>(limitMs, (clock.elapsed() / kLookEveryMs + 1) * kLookEveryMs);
        if (next > clock.elapsed()) QThread::msleep(quint64(next - clock.elapsed()));
        const QImage now = look(grabber, nativeArea);
        ++wait.looks;
        if (!stillShows(now, hidden) && now == previous) {
            wait.settled = true;
            break;
        }
        previous = now;
    }
    return wait;
}
