#include "magnifier/editor/picturearea.h"

#include "raster/blit.h"
#include "shared/stretch.h"
#include "shared/units.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <utility>

PictureArea::PictureArea(QWidget* parent) : MouseReporting(parent) {
    setObjectName(QStringLiteral("Picture1"));
    // Every pixel comes from the picture or the back colour, so Qt need not
    // clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

PictureArea::~PictureArea() = default;

void PictureArea::setPicture(QImage picture, qreal devicePixelRatio) {
    m_ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    m_surface = raster::Surface::adopt(std::move(picture));
    const QSize device = m_surface ? QSize(m_surface->width(), m_surface->height()) : QSize();
    resize(QSizeF(device.width() / m_ratio, device.height() / m_ratio).toSize());
    update();
}

int PictureArea::pictureWidth() const {
    return m_surface ? m_surface->width() : 0;
}

int PictureArea::pictureHeight() const {
    return m_surface ? m_surface->height() : 0;
}

QRect PictureArea::drawBox(QPoint a, QPoint b) {
    const QRect box = QRect(a, b).normalized();
    if (!m_surface) return {};
    // Each outline pixel is touched once, so that a second identical
    // not-xor outline gives the picture back exactly.
    QList<QRect> sides{QRect(box.left(), box.top(), box.width(), 1)};
    if (box.height() > 1) sides << QRect(box.left(), box.bottom(), box.width(), 1);
    if (box.height() > 2) {
        sides << QRect(box.left(), box.top() + 1, 1, box.height() - 2);
        if (box.width() > 1) sides << QRect(box.right(), box.top() + 1, 1, box.height() - 2);
    }
    for (const QRect& r : sides) {
        if (DrawMode == NotXorPen)
            // NOT (black XOR screen) is the inverse of the screen.
            raster::blt(m_surface.get(), r.x(), r.y(), r.width(), r.height(), m_surface.get(),
                        r.x(), r.y(), raster::Rop::NotCopy);
        else
            m_surface->fillRect(r, raster::Black);
    }
    const QRect touched = box & QRect(0, 0, m_surface->width(), m_surface->height());
    pictureChanged(QRegion(touched));
    return touched;
}

quint32 PictureArea::Point(QPoint p) const {
    return m_surface ? m_surface->pixel(p) : raster::Black;
}

QRect PictureArea::toLogical(const QRect& r) const {
    if (m_ratio == 1) return r;
    return QRectF(r.x() / m_ratio, r.y() / m_ratio, r.width() / m_ratio, r.height() / m_ratio)
        .toAlignedRect();
}

void PictureArea::pictureChanged(const QRegion& pictureArea) {
    if (pictureArea.isEmpty()) return;
    if (m_ratio == 1) {
        update(pictureArea);
        return;
    }
    QRegion logical;
    for (const QRect& r : pictureArea)
        logical += toLogical(r);
    update(logical);
}

QPoint PictureArea::toPicture(const QPointF& pos) const {
    return {units::cint(pos.x() * m_ratio), units::cint(pos.y() * m_ratio)};
}

QTransform PictureArea::pictureToWidget() const {
    return QTransform::fromScale(1 / m_ratio, 1 / m_ratio);
}

void PictureArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QRegion rest = event->region();
    if (m_surface) {
        // One picture pixel to one device pixel, straight into the window's
        // own pixels where it paints into a plain image.
        const QImage& image = m_surface->image();
        const QRectF shown(0, 0, image.width() / m_ratio, image.height() / m_ratio);
        stretch::paintStretched(painter, rest, shown, image, QRectF(image.rect()));
        rest -= shown.toAlignedRect();
    }
    for (const QRect& r : rest)
        painter.fillRect(r, BackColor);
    if (Overlay) Overlay(painter, event->region().boundingRect());
    emit Paint();
}

void PictureArea::reportMouse(const MouseReport& r) {
    const QPoint p = toPicture(r.position());
    switch (r.kind) {
    case MouseReport::Kind::Down:
        emit MouseDown(r.button, r.shift, p.x(), p.y());
        break;
    case MouseReport::Kind::Move:
        emit MouseMove(r.button, r.shift, p.x(), p.y());
        break;
    case MouseReport::Kind::Up:
        emit MouseUp(r.button, r.shift, p.x(), p.y());
        break;
    case MouseReport::Kind::DoubleClick:
        emit DblClickAt(r.button, r.shift, p.x(), p.y());
        emit DblClick();
        break;
    }
}
