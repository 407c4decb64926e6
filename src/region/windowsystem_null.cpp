#include "windowsystem.h"

std::optional<QPoint> nativePointerPosition() {
    return std::nullopt;
}

void awaitHidden(const QWidget&) {}
