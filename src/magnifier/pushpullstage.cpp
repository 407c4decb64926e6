#include "magnifier/pushpullstage.h"

#include "magnifier/picturebox.h"
#include "magnifier/pushpull.h"

namespace {
PictureBox& hiddenBox(QWidget& view, const char* name) {
    auto* box = new PictureBox(&view);
    box->setObjectName(QString::fromLatin1(name));
    box->hide();
    return *box;
}
} // namespace

PushPullStage::PushPullStage(QWidget& view, const QColor& back, PushPull& animation)
    : m_shown(hiddenBox(view, "P1")), m_source(hiddenBox(view, "P2")), m_animation(animation) {
    m_shown.setBackColor(back);
}

using units::cint;

void PushPullStage::load(const Picture& picture, const units::Screen& s) {
    m_source.setPicture(picture);
    // The picture is in device pixels; the box is measured in logical ones.
    m_source.resize((QSizeF(picture.size()) / s.DevicePixelRatio).toSize());
    m_source.hide();
}

void PushPullStage::reset(const units::Screen& s) {
    m_animation.reset(cint(s.toTwipsX(m_source.width())), cint(s.toTwipsY(m_source.height())));
    m_shown.resize(s.toPixelsX(m_animation.Width), s.toPixelsY(m_animation.Height));
}

void PushPullStage::centre(const units::Screen& s, const QSizeF& window) {
    const double width = s.toTwipsX(m_shown.width());
    const double height = s.toTwipsY(m_shown.height());
    m_shown.move(s.toPixelsX((window.width() - width) / 2),
                 s.toPixelsY((window.height() - height) / 2));
}

void PushPullStage::tick(const units::Screen& s) {
    const std::optional<QRect> r = m_animation.tick();
    if (!r) return;
    m_shown.setStretchedSource(m_source.picture(),
                               QRectF(s.toDeviceX(r->x()), s.toDeviceY(r->y()),
                                      s.toDeviceX(r->width()), s.toDeviceY(r->height())));
}

void PushPullStage::setVisible(bool visible) {
    m_shown.setVisible(visible);
    m_source.setVisible(visible);
}

void PushPullStage::clear() {
    m_shown.setPicture(Picture());
    m_shown.setStretchedSource({}, {});
}
