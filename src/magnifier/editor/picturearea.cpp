#include "magnifier/editor/picturearea.h"

#include "raster/blit.h"
#include "shared/stretch.h"
#include "shared/units.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
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
    Zoom.setPicture(QSizeF(device));
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

void PictureArea::setBoard(Board board) {
    if (board == m_board) return;
    m_board = board;
    update();
}

QRect PictureArea::toLogical(const QRect& r) const {
    if (Zoom.level() > 0) return pictureToWidget().mapRect(QRectF(r)).toAlignedRect();
    if (m_ratio == 1) return r;
    return QRectF(r.x() / m_ratio, r.y() / m_ratio, r.width() / m_ratio, r.height() / m_ratio)
        .toAlignedRect();
}

void PictureArea::pictureChanged(const QRegion& pictureArea) {
    if (pictureArea.isEmpty()) return;
    if (m_ratio == 1 && Zoom.level() == 0) {
        update(pictureArea);
        return;
    }
    QRegion logical;
    for (const QRect& r : pictureArea)
        logical += toLogical(r);
    update(logical);
}

QPoint PictureArea::toPicture(const QPointF& pos) const {
    const QPoint device(units::cint(pos.x() * m_ratio), units::cint(pos.y() * m_ratio));
    if (Zoom.level() == 0) return device;
    // The picture pixel the device pixel's centre shows, as the paint
    // samples it.
    const QPointF at = Zoom.toPicture(QPointF(device) + QPointF(0.5, 0.5));
    return {int(std::floor(at.x())), int(std::floor(at.y()))};
}

QPointF PictureArea::pictureAt(const QPointF& pos) const {
    if (Zoom.level() == 0) return QPointF(toPicture(pos));
    return Zoom.toPicture(pos * m_ratio);
}

QTransform PictureArea::pictureToWidget() const {
    const QTransform toLogical = QTransform::fromScale(1 / m_ratio, 1 / m_ratio);
    if (Zoom.level() == 0) return toLogical;
    return Zoom.pictureToScreen() * toLogical;
}

PictureArea::Base PictureArea::base() const {
    const QColor back = m_board == Board::Picture ? BackColor : Boards::colour(m_board);
    if (!m_surface || m_board != Board::Picture) return {QImage(), 0, QRectF(), back};
    // One picture pixel to one device pixel at 1x, straight into the
    // window's own pixels where it paints into a plain image; each a
    // block of device pixels when zoomed, not smoothed.
    const QImage& image = m_surface->image();
    const QRectF shown = Zoom.level() == 0
                             ? QRectF(0, 0, image.width() / m_ratio, image.height() / m_ratio)
                             : pictureToWidget().mapRect(QRectF(image.rect()));
    return {image, m_surface->revision(), shown, back};
}

void PictureArea::paintBase(QPainter& painter, const QRegion& region, const Base& base) {
    QRegion rest = region;
    if (!base.picture.isNull()) {
        stretch::paintStretched(painter, rest, base.shown, base.picture,
                                QRectF(base.picture.rect()));
        rest -= base.shown.toAlignedRect();
    }
    for (const QRect& r : rest)
        painter.fillRect(r, base.back);
}

void PictureArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintBase(painter, event->region(), base());
    if (Overlay) Overlay(painter, event->region().boundingRect());
    emit Paint();
}

void PictureArea::reportMouse(const MouseReport& r) {
    const QPoint p = toPicture(r.position());
    m_reported = pictureAt(r.position());
    m_reportedPixel = p;
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
