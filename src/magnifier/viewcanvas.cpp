#include "magnifier/viewcanvas.h"

#include "magnifier/serversurface.h"
#include "shared/platform/screengrabber.h"
#include "shared/stretch.h"

#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace {
const QColor kBackColor(192, 192, 255);
constexpr int kReleaseBuffersMs = 2000;
} // namespace

ViewCanvas::ViewCanvas(QWidget& view, ScreenGrabber& grabber, const ImageControl& picture,
                       std::function<units::Screen()> screen)
    : QObject(&view), m_view(view), m_grabber(grabber), m_picture(picture),
      m_screen(std::move(screen)) {
    m_release.setSingleShot(true);
    m_release.setInterval(kReleaseBuffersMs);
    connect(&m_release, &QTimer::timeout, this, &ViewCanvas::releaseBuffers);
    if (!grabber.drawsOnServer()) return;
    // Made before the view's other children, so that it is the lowest of
    // the native ones.
    m_surface = new ServerSurface(
        &view, [this](const QRegion& r) { return drawOnServer(r); },
        [this] {
            // Drawn by Qt from now on, in the view.
            m_surface->hide();
            m_view.update();
        });
    m_surface->setObjectName(QStringLiteral("surface"));
    m_surface->hide();
}

QWidget* ViewCanvas::widget() const {
    if (m_surface && m_surface->isVisible()) return m_surface;
    return &m_view;
}

QRectF ViewCanvas::pictureRect() const {
    const units::Screen s = m_screen();
    const ImageControl& p = m_picture;
    return {p.Left / s.TwipsPerPixelX, p.Top / s.TwipsPerPixelY, p.Width / s.TwipsPerPixelX,
            p.Height / s.TwipsPerPixelY};
}

void ViewCanvas::refresh() {
    if (m_surface) {
        const bool server = m_picture.Visible && m_grabber.drawsOnServer(m_picture.picture);
        m_surface->setVisible(server);
        if (server) {
            m_surface->update();
            return;
        }
    }
    m_view.update();
}

void ViewCanvas::repaintNow() {
    m_view.repaint();
    if (m_surface && m_surface->isVisible()) m_surface->repaint();
}

void ViewCanvas::resized() {
    if (m_surface) m_surface->setGeometry(m_view.rect());
}

bool ViewCanvas::drawOnServer(const QRegion& devicePixels) {
    const double ratio = m_surface->devicePixelRatioF();
    const QRectF logical = pictureRect();
    const QRectF target(logical.topLeft() * ratio, logical.size() * ratio);
    const Picture& pic = m_picture.picture;
    return m_picture.Visible && m_grabber.drawStretched(m_surface->winId(), devicePixels, target,
                                                        pic, QRectF(pic.rect()), kBackColor);
}

void ViewCanvas::paint(QPaintEvent* event) {
    if (m_surface && m_surface->isVisible()) return;
    QPainter painter(&m_view);
    // A hidden picture control leaves the background only.
    const Picture pic = m_picture.Visible ? m_picture.picture : Picture();
    stretch::paintStretchedOn(painter, event->region(), pictureRect(), pic, QRectF(pic.rect()),
                              kBackColor);
}

void ViewCanvas::readyPaintBuffer(const QSize& size) {
    // X11 draws the picture: the buffer holds the buttons only.
    if (m_surface) return;
    QBackingStore* store = m_view.backingStore();
    if (!store || size.isEmpty() || store->size() == size) return;
    store->resize(size);
    // The device image exists once a paint has begun; an empty one draws
    // nothing, and the view paints the whole window when it is shown.
    store->beginPaint(QRegion());
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    store->endPaint();
    if (!image || image->isNull()) return;
    uchar* bits = image->bits();
    const qsizetype bytes = image->sizeInBytes();
    // A fresh buffer costs a page fault for every 4 KiB on its first write,
    // about 25 ms for a 4K screen: taken here, while X11 copies the screen
    // on the other core, rather than in the first paint after it.
    m_grabber.setMeanwhile([bits, bytes] {
        for (qsizetype at = 0; at < bytes; at += 4096)
            *static_cast<volatile uchar*>(bits + at) = 0;
    });
}

void ViewCanvas::releaseBuffers() {
    if (m_view.isVisible()) return;
    // The paint buffer shrinks to a pixel and grows back with the next
    // capture; the grabber keeps the latest capture's buffer.
    if (QBackingStore* store = m_view.backingStore()) store->resize(QSize(1, 1));
    m_grabber.trim();
}
