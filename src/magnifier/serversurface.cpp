#include "magnifier/serversurface.h"

#include <QPaintEvent>

#include <cmath>
#include <utility>

ServerSurface::ServerSurface(QWidget* parent, std::function<bool(const QRegion&)> draw,
                             std::function<void()> failed)
    : QWidget(parent), m_draw(std::move(draw)), m_failed(std::move(failed)) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    // Moves without a button pressed reach the view, which sets the cursor.
    setMouseTracking(true);
}

void ServerSurface::paintEvent(QPaintEvent* event) {
    const double ratio = devicePixelRatioF();
    QRegion device;
    for (const QRect& r : event->region()) {
        const QRectF d(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
        device += d.toAlignedRect();
    }
    if (!m_draw(device)) m_failed();
}
