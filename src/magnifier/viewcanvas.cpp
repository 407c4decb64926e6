#include "magnifier/viewcanvas.h"

#include "magnifier/serversurface.h"
#include "shared/paintbuffer.h"
#include "shared/platform/screengrabber.h"
#include "shared/stretch.h"

#include <QBackingStore>
#include <QCursor>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace {
const QColor kBackColor(192, 192, 255);
constexpr int kReleaseBuffersMs = 2000;
} // namespace

ViewCanvas::ViewCanvas(QWidget& view, ScreenGrabber& grabber, const ColourAids& aids,
                       const ImageControl& picture, std::function<units::Screen()> screen)
    : QObject(&view), m_aids(aids), m_view(view), m_grabber(grabber), m_picture(picture),
      m_screen(std::move(screen)) {
    connect(&aids, &ColourAids::changed, this, &ViewCanvas::aidChanged);
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

const Picture& ViewCanvas::shownPicture() {
    const Picture& pic = m_picture.picture;
    if (!m_aids.changesColour() || pic.isNull()) {
        m_shown = Picture();
        m_shownKey = 0;
        return pic;
    }
    if (m_shownKey != pic.cacheKey() || !(m_shownRule == m_aids.rule())) {
        // Given back first, so that the copy takes the memory it leaves.
        m_shown = Picture();
        m_shown = m_grabber.drawableLike(pic);
        if (!colouraids::transformInto(pic, m_shown, m_aids.rule()))
            m_shown = colouraids::transformed(pic, m_aids.rule());
        m_shownKey = pic.cacheKey();
        m_shownRule = m_aids.rule();
    }
    return m_shown;
}

const Picture& ViewCanvas::dimmedPicture(const Picture& shown) {
    if (m_dimmedKey != shown.cacheKey()) {
        m_dimmed = Picture();
        m_dimmed = m_grabber.drawableLike(shown);
        if (!colouraids::dimInto(shown, m_dimmed, qAlpha(colouraids::overlay::kShadeColour)))
            m_dimmed = Picture();
        m_dimmedKey = shown.cacheKey();
    }
    return m_dimmed;
}

void ViewCanvas::aidChanged(ColourAids::Aspect aspect) {
    if (aspect == ColourAids::Aspect::Band || aspect == ColourAids::Aspect::Crosshairs) {
        // The overlay comes on where the pointer is, moved or not.
        m_overlay.pointerMoved(m_view.mapFromGlobal(QCursor::pos()), m_view.rect(),
                               colouraids::PictureMotion::Still);
        if (m_aids.band() == ColourAids::Switch::On) {
            m_overlay.bandShown();
        } else {
            m_dimmed = Picture();
            m_dimmedKey = 0;
        }
    }
    if (m_view.isVisible()) refresh();
}

std::optional<Picture> ViewCanvas::drawnInstead(ViewCapture::Purpose purpose) {
    if (!m_view.isVisible()) return std::nullopt;
    const bool overlaid = !m_overlay.layers(m_view.rect()).isEmpty();
    const bool plain = purpose == ViewCapture::Purpose::Again;
    if (plain && !overlaid && !m_aids.changesColour()) return std::nullopt;
    if (purpose == ViewCapture::Purpose::Editor && !overlaid) return std::nullopt;
    if (!plain && purpose != ViewCapture::Purpose::Editor) return std::nullopt;
    const qreal ratio = m_view.devicePixelRatioF();
    QImage out((QSizeF(m_view.size()) * ratio).toSize(), QImage::Format_RGB32);
    out.setDevicePixelRatio(ratio);
    QPainter painter(&out);
    const Picture none;
    const Picture& pic = !m_picture.Visible ? none : plain ? m_picture.picture : shownPicture();
    paintPicture(painter, QRegion(m_view.rect()), pic);
    for (QObject* child : m_view.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        // The key list closes with the next key, the menu's choice included.
        if (!w || w == m_surface || !w->isVisible() || w->isWindow() || w->inherits("KeyOverlay"))
            continue;
        w->render(&painter, w->pos(), QRegion(),
                  QWidget::DrawChildren | QWidget::DrawWindowBackground);
    }
    painter.end();
    out.setDevicePixelRatio(1);
    return out;
}

void ViewCanvas::pointerMoved(QPoint pos, colouraids::PictureMotion motion) {
    const QRegion changed = m_overlay.pointerMoved(pos, m_view.rect(), motion);
    if (!changed.isEmpty()) widget()->update(changed);
}

void ViewCanvas::refresh() {
    if (m_surface) {
        const bool server = m_picture.Visible && m_grabber.drawsOnServer(shownPicture());
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
    const Picture& pic = shownPicture();
    const auto filter = m_aids.smoothing() == ColourAids::Smoothing::Smooth
                            ? ScreenGrabber::Filter::Smooth
                            : ScreenGrabber::Filter::Nearest;
    if (!m_picture.Visible) return false;
    const auto device = [ratio](const QRect& r) {
        return QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio).toAlignedRect();
    };
    // The band's shade is drawn from a dimmed copy, as fast as the picture;
    // where there can be none, laid over like the crosshairs.
    QList<ViewOverlay::Layer> over = m_overlay.layers(m_view.rect());
    QRegion shaded;
    if (!over.isEmpty() && over.front().colour == colouraids::overlay::kShadeColour) {
        const Picture& dim = dimmedPicture(pic);
        if (m_grabber.drawsOnServer(dim)) {
            for (const QRect& r : over.front().rects)
                shaded += device(r);
            shaded &= devicePixels;
            const int keep = 255 - qAlpha(colouraids::overlay::kShadeColour);
            const QColor back(kBackColor.red() * keep / 255, kBackColor.green() * keep / 255,
                              kBackColor.blue() * keep / 255);
            if (!shaded.isEmpty() &&
                !m_grabber.drawStretched(m_surface->winId(), shaded, target, dim,
                                         QRectF(dim.rect()), back, filter))
                return false;
            over.removeFirst();
        }
    }
    const QRegion plain = devicePixels - shaded;
    if (!plain.isEmpty() && !m_grabber.drawStretched(m_surface->winId(), plain, target, pic,
                                                     QRectF(pic.rect()), kBackColor, filter))
        return false;
    for (const ViewOverlay::Layer& layer : over) {
        QList<QRect> rects;
        for (const QRect& r : layer.rects)
            rects.append(device(r));
        m_grabber.fillOver(m_surface->winId(), devicePixels, rects, layer.colour);
    }
    return true;
}

void ViewCanvas::paint(QPaintEvent* event) {
    if (m_surface && m_surface->isVisible()) return;
    QPainter painter(&m_view);
    // A hidden picture control leaves the background only.
    paintPicture(painter, event->region(), m_picture.Visible ? shownPicture() : Picture());
    m_overlay.paint(painter, m_view.rect(), event->region());
}

void ViewCanvas::paintPicture(QPainter& painter, const QRegion& region, const Picture& pic) {
    if (m_aids.smoothing() == ColourAids::Smoothing::Smooth && !pic.isNull()) {
        painter.setClipRegion(region);
        painter.fillRect(QRectF(m_view.rect()), kBackColor);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(pictureRect(), pic, QRectF(pic.rect()));
        painter.setClipping(false);
    } else {
        stretch::paintStretchedOn(painter, region, pictureRect(), pic, QRectF(pic.rect()),
                                  kBackColor);
    }
}

void ViewCanvas::readyPaintBuffer(const QSize& size) {
    // X11 draws the picture: the buffer holds the buttons only.
    if (!m_surface) ::readyPaintBuffer(m_view, size, m_grabber);
}

void ViewCanvas::releaseBuffers() {
    if (m_view.isVisible()) return;
    // The paint buffer shrinks to a pixel and grows back with the next
    // capture; the grabber keeps the latest capture's buffer.
    if (QBackingStore* store = m_view.backingStore()) store->resize(QSize(1, 1));
    m_shown = m_dimmed = Picture();
    m_shownKey = m_dimmedKey = 0;
    m_grabber.trim();
}
