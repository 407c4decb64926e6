#include "windowsystem.h"

std::optional<QPoint> nativePointerPosition() {
    return std::nullopt;
}

bool stillShown(const QWidget&) {
    return false;
}

void watchPointerEvents() {}

std::vector<QPoint> pointerEventPositions(quint64) {
    return {};
}

std::optional<QRect> nativeWindowArea(const QWidget&) {
    return std::nullopt;
}
