// Up-down scrolling, the push-pull zoom and the scrolling speed.
#include "Frmpictd.h"

#include "picturebox.h"

#include <QAction>
#include <QCoreApplication>
#include <QRegularExpression>

#include <limits>

using units::cint;

namespace {
// The longest interval the speed box accepts: a 16-bit count of
// milliseconds, about one minute, slower than anyone would read.
constexpr int kMaxInterval = 65535;

// A typed interval in milliseconds, or -1 when the answer is not one: only
// a plain whole number from 0 to kMaxInterval, spaces around it allowed.
// Stricter than Zonara's speed box, which reads numbers as the locale
// writes them: the view's scrolling runs over the whole screen, and a slip
// such as "1,000" (one in some locales) or "1e3" would race it.
int parseInterval(const QString& answer) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString text = answer.trimmed();
    if (!digits.match(text).hasMatch()) return -1;
    const int value = text.toInt();
    return value <= kMaxInterval ? value : -1;
}
} // namespace

void Frmpictd::mnshangxiagd_Click() {
    toggleScrolling(ScrollStart::FromTop);
}

void Frmpictd::toggleScrolling(ScrollStart start) {
    mnshangxiagd->setChecked(!mnshangxiagd->isChecked());
    if (mnshangxiagd->isChecked()) {
        mntiulaxg->setChecked(false);
        Timtiula->setEnabled(false);
        P1->hide();
        P2->hide();
        Imadpic.Visible = true;
        refreshView();
        if (start == ScrollStart::FromTop) ScrollTop = float(WindowTop());
        Timgund->setEnabled(true);
    } else {
        Timgund->setEnabled(false);
    }
}

void Frmpictd::Timgund_Timer() {
    Imadpic.Top = ScrollTop;
    refreshView();
    ScrollTop = ScrollTop - 15;
    if (float(Imadpic.Height) + ScrollTop < float(WindowHeight())) {
        if (mnxunhuang->isChecked())
            ScrollTop = float(WindowTop());
        else
            Timgund->setEnabled(false);
    }
}

void Frmpictd::mnxunhuang_Click() {
    mnxunhuang->setChecked(!mnxunhuang->isChecked());
}

void Frmpictd::chooseSpeed(QAction* item) {
    item->setChecked(!item->isChecked());
    for (QAction* other : {mnkuai, mnzhong, mnman, mnquesheng, mnzidingyi})
        if (other != item) other->setChecked(false);
}

void Frmpictd::mnkuai_Click() {
    chooseSpeed(mnkuai);
    Timgund->setInterval(1);
}

void Frmpictd::mnzhong_Click() {
    chooseSpeed(mnzhong);
    Timgund->setInterval(100);
}

void Frmpictd::mnman_Click() {
    chooseSpeed(mnman);
    Timgund->setInterval(500);
}

void Frmpictd::mnquesheng_Click() {
    chooseSpeed(mnquesheng);
    Timgund->setInterval(50);
}

void Frmpictd::mnzidingyi_Click() {
    chooseSpeed(mnzidingyi);
    const QString answer =
        prompts().InputBox(this, QCoreApplication::translate("zuz", "请输入时钟频率[1000为1秒！]："),
                 QCoreApplication::translate("zuz", "时钟设置"), QStringLiteral("200"));
    const int interval = parseInterval(answer);
    if (interval < 0)
        return; // cancelled, empty or not an interval: nothing changes, nothing is said
    Timgund->setInterval(interval);
}

void Frmpictd::mntiulaxg_Click() {
    mntiulaxg->setChecked(!mntiulaxg->isChecked());
    if (mntiulaxg->isChecked()) {
        Imadpic.Visible = false;
        refreshView();
        P1->show();
        P2->show();
        StartPushPull();
        // A running scroll keeps moving the hidden picture.
        mnshangxiagd->setChecked(false);
    } else {
        Timtiula->setEnabled(false);
        P1->hide();
        P2->hide();
        Imadpic.Visible = true;
        refreshView();
        FitWindowToPicture(Imadpic);
    }
}

void Frmpictd::StartPushPull() {
    const units::Screen s = screen();
    P2->setPicture(Imadpic.picture);
    // The picture is in device pixels; the box is measured in logical ones.
    P2->resize((QSizeF(P2->picture().size()) / s.DevicePixelRatio).toSize());
    P2->hide();
    ResetPushPull();
    const double p1Width = s.toTwipsX(P1->width());
    const double p1Height = s.toTwipsY(P1->height());
    P1->move(s.toPixelsX((ScaleWidth() - p1Width) / 2),
             s.toPixelsY((ScaleHeight() - p1Height) / 2));
    PushPullInsetX = cint(PushPullWidth / 2.0);
    PushPullInsetY = cint(PushPullHeight / 2.0);
    Timtiula->setEnabled(true);
}

void Frmpictd::ResetPushPull() {
    const units::Screen s = screen();
    PushPullGrowing = 0;
    PushPullWidth = cint(s.toTwipsX(P2->width()));
    PushPullHeight = cint(s.toTwipsY(P2->height()));
    P1->resize(s.toPixelsX(PushPullWidth), s.toPixelsY(PushPullHeight));
    StopPushPull();
}

void Frmpictd::StopPushPull() {
    Timtiula->setEnabled(false);
}

void Frmpictd::Timtiula_Timer() {
    const std::int32_t W = PushPullWidth;
    const std::int32_t H = PushPullHeight;
    std::int32_t x = PushPullInsetX;
    std::int32_t y = PushPullInsetY;
    if (PushPullGrowing) {
        x = cint(x + W / 100.0);
        y = cint(y + H / 100.0);
        if (!(W / 2.0 > x) || !(H / 2.0 > y)) PushPullGrowing = PushPullGrowing ? 0 : -1;
    } else {
        x = cint(x - W / 100.0);
        y = cint(y - H / 100.0);
        if (x < 1 || y < 1) {
            x = 0;
            y = 0;
            PushPullGrowing = PushPullGrowing ? 0 : -1;
        }
    }
    PushPullInsetX = x;
    PushPullInsetY = y;

    const std::int32_t srcWidth = W - 2 * x;
    const std::int32_t srcHeight = H - 2 * y;
    // At the turning point the source has no extent: that tick draws
    // nothing rather than a mirrored sliver.
    if (srcWidth <= 0 || srcHeight <= 0) return;
    const units::Screen s = screen();
    P1->setStretchedSource(P2->picture(), QRectF(s.toDeviceX(x), s.toDeviceY(y),
                                                 s.toDeviceX(srcWidth), s.toDeviceY(srcHeight)));
}
