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

void FakeScreenGrabber::request(const QRect& area, const QObject* asker) {
    if (answering == Answering::Held)
        m_held.append({area, asker});
    else
        answer(area, asker);
}

void FakeScreenGrabber::release() {
    for (const auto& [area, asker] : std::exchange(m_held, {}))
        answer(area, asker);
}

void FakeScreenGrabber::answer(const QRect& area, const QObject* asker) {
    ++m_grabs;
    if (!failure.isEmpty()) {
        emit failed(asker, std::exchange(failure, QString()));
        return;
    }
    QImage shown = m_screen;
    if (m_cover && m_cover->isVisible()) {
        QPainter p(&shown);
        p.drawPixmap(m_cover->geometry().topLeft(), m_cover->grab());
    }
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter(&out).drawImage(QPoint(0, 0), shown, area);
    emit grabbed(asker, out);
}
