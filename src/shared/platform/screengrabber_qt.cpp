// Grabbing through Qt alone: used where no faster native path exists.
#include "screengrabber_qt.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

QImage NullScreenGrabber::grab(WId, bool, const QRect& area) {
    QImage img(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

QImage QtScreenGrabber::grab(WId window, bool /*client*/, const QRect& area) {
    // Qt can only read a window's client area; for the desktop both agree.
    QImage out(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    out.fill(Qt::black);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || out.isNull()) return out;
    const QImage got =
        screen->grabWindow(window, area.x(), area.y(), area.width(), area.height()).toImage();
    QPainter p(&out);
    p.drawImage(0, 0, got);
    return out;
}
