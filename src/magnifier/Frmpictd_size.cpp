// Custom size: four buttons that change the picture's width or height.
#include "Frmpictd.h"

#include "wheelzoom.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr double kStep = 200;
// However often "宽-" or "高-" is clicked, the picture keeps one step.
constexpr double kSmallest = 200;

QString kCustomOff() {
    return QCoreApplication::translate("zuz", "自定义zuz");
}
QString kCustomOn() {
    return QCoreApplication::translate("zuz", "结束自定义zuz");
}
} // namespace

void Frmpictd::mnshougong_Click() {
    const QString caption = mnshougong->text();
    if (caption == kCustomOff()) {
        mnshougong->setText(kCustomOn());
        Command2->show();
        Command1->show();
        Command3->show();
        Command4->show();
    } else if (caption == kCustomOn()) {
        mnshougong->setText(kCustomOff());
        Command2->hide();
        Command1->hide();
        Command3->hide();
        Command4->hide();
    }
}

void Frmpictd::Command1_Click() {
    Imadpic.Width = std::max(kSmallest, Imadpic.Width - kStep);
    applyImageGeometry();
}

void Frmpictd::Command2_Click() {
    Imadpic.Height = std::max(kSmallest, Imadpic.Height - kStep);
    applyImageGeometry();
}

void Frmpictd::Command3_Click() {
    Imadpic.Width = Imadpic.Width + kStep;
    applyImageGeometry();
}

void Frmpictd::Command4_Click() {
    Imadpic.Height = Imadpic.Height + kStep;
    applyImageGeometry();
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
    if (!verticalOnly()) {
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
    if (Timgund->Enabled()) ScrollTop = float(Imadpic.Top);
    applyImageGeometry();
}
