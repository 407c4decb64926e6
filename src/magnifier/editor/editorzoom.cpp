#include "magnifier/editor/editorzoom.h"

#include <algorithm>
#include <cmath>

void EditorZoom::setPicture(QSizeF size) {
    m_size = size;
    m_level = 0;
    m_origin = {};
}

double EditorZoom::scale() const {
    return std::min(std::pow(Step, m_level), Largest);
}

bool EditorZoom::zoom(int notches, QPointF at) {
    const int level = std::clamp(m_level + notches, 0, LargestLevel);
    if (level == m_level) return false;
    const QPointF kept = toPicture(at);
    m_level = level;
    moveTo(kept - at / scale());
    return true;
}

bool EditorZoom::drag(QPointF by) {
    return moveTo(m_origin - by / scale());
}

bool EditorZoom::step(int dx, int dy, bool wholeScreen) {
    const double part = wholeScreen ? 1 : 1.0 / 8;
    return moveTo(m_origin + QPointF(dx * m_size.width(), dy * m_size.height()) * part / scale());
}

bool EditorZoom::reset() {
    if (m_level == 0) return false;
    m_level = 0;
    m_origin = {};
    return true;
}

QPointF EditorZoom::toPicture(QPointF screen) const {
    return screen / scale() + m_origin;
}

QTransform EditorZoom::pictureToScreen() const {
    const double s = scale();
    return QTransform(s, 0, 0, s, -m_origin.x() * s, -m_origin.y() * s);
}

// The screen shows size / scale of the picture; the rest lies beyond it.
bool EditorZoom::moveTo(QPointF origin) {
    const double s = scale();
    const QPointF clamped(
        std::clamp(origin.x(), 0.0, std::max(0.0, m_size.width() - m_size.width() / s)),
        std::clamp(origin.y(), 0.0, std::max(0.0, m_size.height() - m_size.height() / s)));
    if (clamped == m_origin) return false;
    m_origin = clamped;
    return true;
}
