#include "magnifier/editor/picturearea.h"

#include "mouseargs.h"
#include "raster/blit.h"
#include "units.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
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

void PictureArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage* image = m_surface ? &m_surface->image() : nullptr;
    const QRect picture = image ? image->rect() : QRect();
    // Straight from the picture into the window's own device pixels where
    // the window paints into a plain image: one to one, whatever the scale.
    auto* store = dynamic_cast<QImage*>(painter.paintEngine()->paintDevice());
    const QTransform& t = painter.deviceTransform();
    if (image && store && store->depth() == 32 && t.type() <= QTransform::TxScale) {
        const QPoint offset(qRound(t.dx()), qRound(t.dy()));
        QRegion device;
        for (const QRect& r : event->region())
            device += t.mapRect(QRectF(r)).toAlignedRect();
        const QRegion system = painter.paintEngine()->systemClip();
        if (!system.isEmpty()) device &= system;
        for (const QRect& r : device) {
            const QRect on = r & picture.translated(offset) & store->rect();
            for (int y = on.top(); y <= on.bottom(); ++y) {
                const auto* in =
                    reinterpret_cast<const QRgb*>(image->constScanLine(y - offset.y()));
                auto* out = reinterpret_cast<QRgb*>(store->scanLine(y));
                std::copy_n(in + on.left() - offset.x(), on.width(), out + on.left());
            }
        }
        painter.resetTransform();
        for (const QRect& rest : device - picture.translated(offset))
            painter.fillRect(rest, BackColor);
        emit Paint();
        return;
    }
    const QRect shown = image ? toLogical(picture) : QRect();
    for (const QRect& r : event->region()) {
        const QRect on = r & shown;
        if (!on.isEmpty()) {
            const QRectF source(on.x() * m_ratio, on.y() * m_ratio, on.width() * m_ratio,
                                on.height() * m_ratio);
            painter.drawImage(QRectF(on), *image, source);
        }
        for (const QRect& rest : QRegion(r) - on)
            painter.fillRect(rest, BackColor);
    }
    emit Paint();
}

void PictureArea::mousePressEvent(QMouseEvent* event) {
    const QPoint p = toPicture(event->position());
    emit MouseDown(mouseargs::button(event->button()), mouseargs::shift(event->modifiers()), p.x(),
                   p.y());
}

void PictureArea::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = toPicture(event->position());
    emit MouseMove(mouseargs::button(event->buttons()), mouseargs::shift(event->modifiers()), p.x(),
                   p.y());
}

void PictureArea::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = toPicture(event->position());
    emit MouseUp(mouseargs::button(event->button()), mouseargs::shift(event->modifiers()), p.x(),
                 p.y());
}

void PictureArea::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}
