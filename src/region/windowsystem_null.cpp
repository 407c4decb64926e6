#include "windowsystem.h"

std::optional<QPoint> nativePointerPosition() {
    return std::nullopt;
}

void awaitHidden(const QWidget&) {}

void watchPointerEvents() {}

std::vector<QPoint> pointerEventPositions(quint64) {
    return {};
}

std::optional<QRect> nativeWindowArea(const QWidget&) {
    return std::nullopt;
}
