#include "repaintwait.h"

#include "platform/screengrabber.h"
#include "platform/termination.h"

namespace {
// A program that has not answered its exposure yet still shows the button
// (Qt leaves the window's background alone), so looks need not wait for
// it; they only have to be far enough apart to catch a repaint under way.
// Each look is a small round trip.
constexpr int kLookEveryMs = 1;
} // namespace

RepaintWait::RepaintWait(ScreenGrabber& grabber, QObject* parent)
    : QObject(parent), m_grabber(grabber) {
    m_next.setSingleShot(true);
    m_next.setTimerType(Qt::PreciseTimer);
    m_next.setInterval(kLookEveryMs);
    connect(&m_next, &QTimer::timeout, this, &RepaintWait::look);
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] { end(Outcome::TimedOut); });
    connect(&m_grabber, &ScreenGrabber::grabbed, this, &RepaintWait::seen);
    // A look that gives no picture cannot show the window either.
    connect(&m_grabber, &ScreenGrabber::failed, this, [this](const QObject* asker) {
        if (asker == this && m_asking) seen(asker, QImage());
    });
}

void RepaintWait::start(const QRect& nativeArea, const QImage& hidden, int limitMs) {
    m_area = nativeArea;
    m_hidden = hidden.convertToFormat(QImage::Format_RGB32);
    m_previous = QImage();
    m_looks = 0;
    m_outcome = Outcome::Waiting;
    if (nativeArea.isEmpty()) {
        end(Outcome::Settled);
        return;
    }
    m_limit.start(limitMs);
    look();
}

void RepaintWait::stop() {
    m_next.stop();
    m_limit.stop();
    m_asking = false;
    if (m_outcome == Outcome::Waiting) m_outcome = Outcome::TimedOut;
}

void RepaintWait::look() {
    if (m_outcome != Outcome::Waiting) return;
    if (termination::requested()) {
        end(Outcome::TimedOut);
        return;
    }
    m_asking = true;
    m_grabber.request(m_area, this);
}

void RepaintWait::seen(const QObject* asker, const QImage& shown) {
    if (asker != this || !m_asking) return;
    m_asking = false;
    if (m_outcome != Outcome::Waiting) return;
    const QImage now = shown.convertToFormat(QImage::Format_RGB32);
    const bool first = m_looks++ == 0;
    if (!first && !stillShows(now, m_hidden) && now == m_previous) {
        end(Outcome::Settled);
        return;
    }
    m_previous = now;
    m_next.start();
}

void RepaintWait::end(Outcome outcome) {
    m_next.stop();
    m_limit.stop();
    m_asking = false;
    m_outcome = outcome;
    emit finished();
}

// A compositor may blend the window's edges, but not most of it. On a
// scaled monitor the window's own rendering may be a device pixel smaller
// or larger than its place on the screen; the part both cover is compared.
bool RepaintWait::stillShows(const QImage& shown, const QImage& hidden) {
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
