// Dragging out the region, capturing it and leaving the picker.
#include "region/picker/frmCaptureArea.h"

#include "region/picker/windowsystem.h"
#include "shared/mouseargs.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

void frmCaptureArea::Form_MouseDown(int /*button*/, int /*shift*/, double x, double y) {
    if (!isLoaded()) return;
    m_start = devicePoint(x, y);
    m_end = m_start;
    m_state = State::Pressed;
}

void frmCaptureArea::Form_MouseMove(int /*button*/, int /*shift*/, double x, double y) {
    if (!isDragging()) return;
    ClearWindow();
    m_end = devicePoint(x, y);
    m_region = PointsToRect(m_start, m_end);
    m_state = State::Outlined;
    update(drawnArea());
}

void frmCaptureArea::Form_MouseUp(int /*button*/, int /*shift*/, double x, double y) {
    // A release whose press happened before the picker opened picks nothing.
    if (!isDragging()) return;
    ClearWindow();
    m_end = devicePoint(x, y);
    m_region = PointsToRect(m_start, m_end);
    Picture picture;
    // The frozen screen, not the live one: what the user saw is what is
    // taken, and the outline and label were never part of it.
    if (CaptureRect(m_background, m_region, picture) == 1) {
        m_owner.clipboard().setBitmap(picture);
    } else {
        hide();
        m_owner.InformationBox(QStringLiteral("Unable to capture image!"));
    }
    Unload();
    m_owner.PickTaken();
}

void frmCaptureArea::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == 27) Unload();
}

QPointF frmCaptureArea::pointerPosition(const QMouseEvent& event) const {
    const QPointF rounded = event.position();
    const QPoint origin = m_owner.services().screen->nativeGeometry().topLeft();
    // Only a place the event could have been rounded from.
    const auto agrees = [&](QPoint native, QPointF& exact) {
        exact = QPointF(native - origin) / m_ratio;
        const double slack = 0.5 + 1e-6;
        return std::abs(exact.x() - rounded.x()) <= slack &&
               std::abs(exact.y() - rounded.y()) <= slack;
    };
    QPointF exact;
    // The event's own position, as X11 sent it.
    const std::vector<QPoint> sent = pointerEventPositions(event.timestamp());
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
        if (agrees(*it, exact)) return exact;
    // Otherwise where the pointer is now, while it has not moved on.
    if (const std::optional<QPoint> now = nativePointerPosition(); now && agrees(*now, exact))
        return exact;
    return rounded;
}

void frmCaptureArea::reportMouse(const MouseReport& r) {
    const QPointF at = pointerPosition(r.event);
    switch (r.kind) {
    case MouseReport::Kind::Down:
    case MouseReport::Kind::DoubleClick:
        Form_MouseDown(r.button, r.shift, at.x(), at.y());
        break;
    case MouseReport::Kind::Move:
        Form_MouseMove(r.button, r.shift, at.x(), at.y());
        break;
    case MouseReport::Kind::Up:
        Form_MouseUp(r.button, r.shift, at.x(), at.y());
        break;
    }
}

void frmCaptureArea::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) Form_KeyDown(27, mouseargs::shift(event->modifiers()));
}
