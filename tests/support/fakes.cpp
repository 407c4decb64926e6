#include "fakes.h"

#include <QPainter>
#include <QWidget>

QImage codedPattern(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
    }
    return img;
}

QPoint decodePattern(QRgb p) {
    return {qRed(p) | ((qBlue(p) & 0x0F) << 8), qGreen(p) | ((qBlue(p) >> 4) << 8)};
}

FakeScreenGrabber::FakeScreenGrabber(QSize screenSize)
    : m_screen(codedPattern(screenSize.width(), screenSize.height())) {}

QImage FakeScreenGrabber::grab(WId, bool, const QRect& area) {
    ++m_grabs;
    QImage shown = m_screen;
    if (m_cover && m_cover->isVisible()) {
        QPainter p(&shown);
        p.drawPixmap(m_cover->geometry().topLeft(), m_cover->grab());
    }
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter(&out).drawImage(QPoint(0, 0), shown, area);
    return out;
}
