// Custom size: four buttons that change the picture's width or height,
// and the wheel's zoom.
#include "magnifier/Frmpictd.h"

#include "magnifier/wheelzoom.h"

#include <QPushButton>

void Frmpictd::mnshougong_Click() {
    customSize.toggle();
    showCustomSize();
}

void Frmpictd::showCustomSize() {
    mnshougong->setText(customSize.caption());
    const bool shown = customSize.buttons() == CustomSize::Buttons::Shown;
    for (QPushButton* b : {Command2, Command1, Command3, Command4})
        b->setVisible(shown);
}

void Frmpictd::resizePicture(CustomSize::Step step) {
    const QSizeF size = CustomSize::resized({Imadpic.Width, Imadpic.Height}, step);
    Imadpic.Width = size.width();
    Imadpic.Height = size.height();
    refreshView();
}

void Frmpictd::Command1_Click() {
    resizePicture(CustomSize::Step::Narrower);
}
void Frmpictd::Command2_Click() {
    resizePicture(CustomSize::Step::Shorter);
}
void Frmpictd::Command3_Click() {
    resizePicture(CustomSize::Step::Wider);
}
void Frmpictd::Command4_Click() {
    resizePicture(CustomSize::Step::Taller);
}

void Frmpictd::Imadpic_Wheel(int notches, const QPointF& posPx) {
    if (notches == 0 || !Imadpic.Visible) return;
    const units::Screen s = screen();
    const Picture& pic = Imadpic.picture;
    // The screen's own size is the picture's pixel count, which a scaled
    // logical size may not give back exactly.
    const double ownW = pic.isNull() ? s.toDeviceX(s.Width()) : pic.width();
    const double ownH = pic.isNull() ? s.toDeviceY(s.Height()) : pic.height();
    const double ratio = s.DevicePixelRatio;
    if (zoom.directions() == ViewZoom::Directions::Both) {
        const wheelzoom::Span x =
            wheelzoom::zoom({s.toDeviceX(Imadpic.Left), s.toDeviceX(Imadpic.Width)}, ownW,
                            s.toDeviceX(ScaleWidth()), posPx.x() * ratio, notches);
        Imadpic.Left = s.pictureTwipsX(x.pos);
        Imadpic.Width = s.pictureTwipsX(x.size);
    }
    const wheelzoom::Span y =
        wheelzoom::zoom({s.toDeviceY(Imadpic.Top), s.toDeviceY(Imadpic.Height)}, ownH,
                        s.toDeviceY(ScaleHeight()), posPx.y() * ratio, notches);
    Imadpic.Top = s.pictureTwipsY(y.pos);
    Imadpic.Height = s.pictureTwipsY(y.size);
    // A running scroll carries on from where the zoom left the picture.
    if (Timgund->Enabled()) motion.ScrollTop = float(Imadpic.Top);
    refreshView();
}
