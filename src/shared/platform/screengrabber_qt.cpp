// Grabbing through Qt alone: used where no faster native path exists.
#include "screengrabber_qt.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

QImage NullScreenGrabber::grabNow(const QRect& area, QString& /*whyNot*/) {
    QImage img(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

QImage QtScreenGrabber::grabNow(const QRect& area, QString& /*whyNot*/) {
    return read(area);
}

QImage QtScreenGrabber::read(const QRect& area) {
    QImage out(area.size().expandedTo({0, 0}), QImage::Format_RGB32);
    out.fill(Qt::black);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || out.isNull()) return out;
    const QImage got =
        screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    QPainter p(&out);
    p.drawImage(0, 0, got);
    return out;
}
