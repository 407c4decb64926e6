// Custom size: four buttons that change the picture's width or height,
// and the wheel's zoom.
#include "Frmpictd.h"

#include "wheelzoom.h"

#include "viewbuttons.h"

void Frmpictd::mnshougong_Click() {
    customSize.toggle();
    showCustomSize();
}

void Frmpictd::showCustomSize() {
    m_menu.show();
    m_buttons->showCustomSize(customSize.buttons());
}

void Frmpictd::resizePicture(CustomSize::Step step) {
    const QSizeF size = CustomSize::resized({Imadpic.Width, Imadpic.Height}, step);
    Imadpic.Width = size.width();
    Imadpic.Height = size.height();
    refreshView();
}

void Frmpictd::Imadpic_Wheel(int notches, const QPointF& posPx) {
    if (notches == 0 || !Imadpic.Visible) return;
    const auto axes = zoom.directions() == ViewZoom::Directions::Both
                          ? wheelzoom::Axes::Both
                          : wheelzoom::Axes::VerticalOnly;
    const QRectF r = wheelzoom::zoomPicture(Imadpic.rect(), Imadpic.picture.size(), screen(),
                                            {ScaleWidth(), ScaleHeight()}, posPx, notches, axes);
    Imadpic.Left = r.left();
    Imadpic.Top = r.top();
    Imadpic.Width = r.width();
    Imadpic.Height = r.height();
    // A running scroll carries on from where the zoom left the picture.
    if (Timgund->Enabled()) motion.ScrollTop = float(Imadpic.Top);
    refreshView();
}
