#include "screeninfo.h"

#include <QGuiApplication>
#include <QScreen>

units::Screen PrimaryScreenInfo::screen() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return {};
    const QSize size = s->size();
    return units::Screen::fromDpi(size.width(), size.height(), s->logicalDotsPerInchX(),
                                  s->logicalDotsPerInchY());
}

QRect PrimaryScreenInfo::geometry() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect();
}
