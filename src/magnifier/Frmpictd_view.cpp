// The magnified view: geometry of the window and the picture, zoom modes,
// painting and ending a view.
#include "magnifier/Frmpictd.h"

#include "shared/platform/windowplacement.h"

#include "magnifier/picturebox.h"
#include "magnifier/serversurface.h"
#include "shared/stretch.h"

#include <QAction>
#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>

namespace {
const QColor kBackColor(192, 192, 255);
} // namespace

// The view covers its monitor, as a maximised window does on X11, Wayland
// and Windows alike, whatever size the picture has: every zoom leaves it
// at least monitor-sized, and a picture shrunk below that (custom sizes)
// shows the background around it rather than a smaller window.
void Frmpictd::FitWindowToPicture() {
    placement::cover(*this, m_services.screen->qscreen(), viewGeometry());
}

QRect Frmpictd::viewGeometry() const {
    return m_services.screen->geometry();
}

void Frmpictd::readyPaintBuffer() {
    // The server draws the picture: the buffer holds the buttons only.
    if (m_surface) return;
    QBackingStore* store = backingStore();
    const QSize size = viewGeometry().size();
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
    // about 25 ms for a 4K screen: taken here, while the server copies the
    // screen on the other core, rather than in the first paint after it.
    m_services.grabber->setMeanwhile([bits, bytes] {
        for (qsizetype at = 0; at < bytes; at += 4096)
            *static_cast<volatile uchar*>(bits + at) = 0;
    });
}

void Frmpictd::CenterPicture(ImageControl& p) {
    p.Left = (ScaleWidth() - p.Width) / 2;
    p.Top = (ScaleHeight() - p.Height) / 2;
    refreshView();
}

void Frmpictd::Form_Resize() {
    CenterPicture(Imadpic);
}

void Frmpictd::resizeEvent(QResizeEvent*) {
    if (m_surface) m_surface->setGeometry(rect());
    Form_Resize();
}

void Frmpictd::refreshView() {
    if (m_surface) {
        const bool server = Imadpic.Visible && m_services.grabber->drawsOnServer(Imadpic.picture);
        m_surface->setVisible(server);
        if (server) {
            m_surface->update();
            return;
        }
    }
    update();
}

QWidget* Frmpictd::pictureWidget() {
    if (m_surface && m_surface->isVisible()) return m_surface;
    return this;
}

QRectF Frmpictd::pictureRect() const {
    const units::Screen s = screen();
    return {Imadpic.Left / s.TwipsPerPixelX, Imadpic.Top / s.TwipsPerPixelY,
            Imadpic.Width / s.TwipsPerPixelX, Imadpic.Height / s.TwipsPerPixelY};
}

bool Frmpictd::drawOnServer(const QRegion& devicePixels) {
    const double ratio = m_surface->devicePixelRatioF();
    const QRectF logical = pictureRect();
    const QRectF target(logical.topLeft() * ratio, logical.size() * ratio);
    const Picture& pic = Imadpic.picture;
    return Imadpic.Visible &&
           m_services.grabber->drawStretched(m_surface->winId(), devicePixels, target, pic,
                                             QRectF(pic.rect()), kBackColor);
}

void Frmpictd::paintEvent(QPaintEvent* event) {
    if (m_surface && m_surface->isVisible()) return;
    QPainter painter(this);
    const Picture& pic = Imadpic.Visible ? Imadpic.picture : Imagls.picture;
    stretch::paintStretchedOn(painter, event->region(), pictureRect(), pic, QRectF(pic.rect()),
                              kBackColor);
}

void Frmpictd::mnbuhuo_Click() {
    mnzaicifd_Click();
}

// Taken while the view is up, the picture is the view itself: enlarged
// once more, with size and place kept.
void Frmpictd::mnzaicifd_Click() {
    showPicture(CaptureScreen());
}

void Frmpictd::showPicture(Picture picture) {
    Imadpic.picture = std::move(picture);
    refreshView();
}

void Frmpictd::mnhiufuquesheng_Click() {
    const units::Screen s = screen();
    applyZoom(zoom.restoreDefault(s.Width(), s.Height()));
    customSize.hideButtons();
    showCustomSize();
}

void Frmpictd::mnsuoxiao_Click() {
    const units::Screen s = screen();
    applyZoom(zoom.toggleEnlarge(s.Width(), s.Height()));
}

void Frmpictd::mnzongxiangfd_Click() {
    const units::Screen s = screen();
    applyZoom(zoom.toggleVertical(s.Width(), s.Height()));
}

// Resizing never moves the picture, unless the step says where.
void Frmpictd::applyZoom(const ViewZoom::Step& step) {
    mnsuoxiao->setText(zoom.enlargeCaption());
    mnzongxiangfd->setText(zoom.directionsCaption());
    if (step.fit == ViewZoom::Fit::Before) FitWindowToPicture();
    if (step.left) Imadpic.Left = *step.left;
    Imadpic.Height = step.height;
    Imadpic.Width = step.width;
    refreshView();
    if (step.fit == ViewZoom::Fit::After) FitWindowToPicture();
}

void Frmpictd::EndView() {
    clearPictures();
    hide();
}

// Empty, push-pull's drawing too, so that nothing of the view is held.
void Frmpictd::clearPictures() {
    Imadpic.picture = Imagls.picture;
    P1->setPicture(Imagls.picture);
    P1->setStretchedSource({}, {});
}

void Frmpictd::hideEvent(QHideEvent*) {
    m_releaseBuffers.start();
    // After the hide has run to its end, outside the handler that hid.
    QMetaObject::invokeMethod(this, &Frmpictd::CheckStillReachable, Qt::QueuedConnection);
}

void Frmpictd::showEvent(QShowEvent*) {
    m_releaseBuffers.stop();
}

void Frmpictd::releaseViewBuffers() {
    if (isVisible()) return;
    // The paint buffer shrinks to a pixel and grows back with the next
    // capture; the grabber keeps the latest capture's buffer.
    if (QBackingStore* store = backingStore()) store->resize(QSize(1, 1));
    m_services.grabber->trim();
}

void Frmpictd::mnexit_Click() {
    EndView();
}

void Frmpictd::Comqxbcfd_Click() {
    EndView();
}
