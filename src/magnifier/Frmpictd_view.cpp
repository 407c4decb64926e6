// The magnified view: the window and the picture on their monitor, the zoom
// modes, custom sizes, the wheel and ending a view.
#include "magnifier/Frmpictd.h"

#include "shared/platform/windowplacement.h"

// The view covers its monitor, as a maximised window does on X11, Wayland
// and Windows alike, whatever size the picture has: every zoom leaves it
// at least monitor-sized, and a picture shrunk below that (custom sizes)
// shows the background around it rather than a smaller window.
void Frmpictd::FitWindowToPicture() {
    placement::cover(*this, m_services.screen->qscreen(), m_services.screen->geometry());
}

void Frmpictd::CenterPicture(ImageControl& p) {
    p.Left = (ScaleWidth() - p.Width) / 2;
    p.Top = (ScaleHeight() - p.Height) / 2;
    refreshView();
}

void Frmpictd::resizeEvent(QResizeEvent*) {
    m_canvas->resized();
    Form_Resize();
}

void Frmpictd::followScreenChange() {
    // Between views nothing is shown; the next view lays itself out for
    // the monitor under the pointer as it is then.
    if (!isVisible()) return;
    rescaleView(m_screens->layOut());
    FitWindowToPicture();
}

void Frmpictd::rescaleView(const std::optional<QSizeF>& scale) {
    if (!scale) return;
    Imadpic.scale(*scale);
    m_buttons->placeCorner(screen());
    refreshView();
}

void Frmpictd::showPicture(Picture picture) {
    Imadpic.picture = std::move(picture);
    refreshView();
}

void Frmpictd::mnhiufuquesheng_Click() {
    applyZoom(zoom.restoreDefault(screenSize()));
    customSize.hideButtons();
    showCustomSize();
}

// Resizing never moves the picture, unless the step says where.
void Frmpictd::applyZoom(const ViewZoom::Step& step) {
    m_menu.show();
    if (step.fit == ViewZoom::Fit::Before) FitWindowToPicture();
    if (step.left) Imadpic.Left = *step.left;
    Imadpic.setSize({step.width, step.height});
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
    m_stage->clear();
}

void Frmpictd::hideEvent(QHideEvent*) {
    m_canvas->viewHidden();
    // After the hide has run to its end, outside the handler that hid.
    QMetaObject::invokeMethod(this, &Frmpictd::CheckStillReachable, Qt::QueuedConnection);
}

// Custom size: four buttons that change the picture's width or height.
void Frmpictd::mnshougong_Click() {
    customSize.toggle();
    showCustomSize();
}

void Frmpictd::showCustomSize() {
    m_menu.show();
    m_buttons->showCustomSize(customSize.buttons());
}

void Frmpictd::resizePicture(CustomSize::Step step) {
    Imadpic.setSize(CustomSize::resized({Imadpic.Width, Imadpic.Height}, step));
    refreshView();
}

void Frmpictd::Imadpic_Wheel(int notches, const QPointF& posPx) {
    if (notches == 0 || !Imadpic.Visible) return;
    const auto axes = zoom.directions() == ViewZoom::Directions::Both
                          ? wheelzoom::Axes::Both
                          : wheelzoom::Axes::VerticalOnly;
    Imadpic.setRect(wheelzoom::zoomPicture(Imadpic.rect(), Imadpic.picture.size(), screen(),
                                           {ScaleWidth(), ScaleHeight()}, posPx, notches, axes));
    // A running scroll carries on from where the zoom left the picture.
    if (Timgund->Enabled()) motion.ScrollTop = float(Imadpic.Top);
    refreshView();
}
