// Up-down scrolling, the push-pull zoom and the scrolling speed.
#include "Frmpictd.h"

#include "picturebox.h"

using units::cint;

void Frmpictd::mnshangxiagd_Click() {
    toggleScrolling(ScrollStart::FromTop);
}

void Frmpictd::toggleScrolling(ScrollStart start) {
    motion.scrolling = ViewMotion::flipped(motion.scrolling);
    if (motion.scrolling == ViewMotion::Switch::On) {
        motion.pushPull = ViewMotion::Switch::Off;
        Timtiula->setEnabled(false);
        P1->hide();
        P2->hide();
        Imadpic.Visible = true;
        refreshView();
        if (start == ScrollStart::FromTop) motion.ScrollTop = float(WindowTop());
        Timgund->setEnabled(true);
    } else {
        Timgund->setEnabled(false);
    }
    m_menu.show();
}

void Frmpictd::Timgund_Timer() {
    const ViewMotion::Step step = motion.tick(Imadpic.Height, WindowTop(), WindowHeight());
    Imadpic.Top = step.top;
    refreshView();
    if (step.next == ViewMotion::Tick::Stop) Timgund->setEnabled(false);
}

void Frmpictd::mnxunhuang_Click() {
    motion.loop = ViewMotion::flipped(motion.loop);
    m_menu.show();
}

// A running scroll carries on at the new speed; push-pull keeps its own.
void Frmpictd::chooseSpeed(ScrollSpeed::Choice choice) {
    const std::optional<int> ms =
        speed.choose(choice, [this] { return ScrollSpeed::ask(prompts(), this); });
    m_menu.show();
    if (ms) Timgund->setInterval(*ms);
}

void Frmpictd::mnkuai_Click() {
    chooseSpeed(ScrollSpeed::Choice::Fast);
}
void Frmpictd::mnzhong_Click() {
    chooseSpeed(ScrollSpeed::Choice::Medium);
}
void Frmpictd::mnman_Click() {
    chooseSpeed(ScrollSpeed::Choice::Slow);
}
void Frmpictd::mnquesheng_Click() {
    chooseSpeed(ScrollSpeed::Choice::Default);
}
void Frmpictd::mnzidingyi_Click() {
    chooseSpeed(ScrollSpeed::Choice::Custom);
}

void Frmpictd::mntiulaxg_Click() {
    motion.pushPull = ViewMotion::flipped(motion.pushPull);
    if (motion.pushPull == ViewMotion::Switch::On) {
        Imadpic.Visible = false;
        refreshView();
        P1->show();
        P2->show();
        StartPushPull();
        // A running scroll keeps moving the hidden picture.
        motion.scrolling = ViewMotion::Switch::Off;
    } else {
        Timtiula->setEnabled(false);
        P1->hide();
        P2->hide();
        Imadpic.Visible = true;
        refreshView();
        FitWindowToPicture();
    }
    m_menu.show();
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
    pushPull.start();
    Timtiula->setEnabled(true);
}

void Frmpictd::ResetPushPull() {
    const units::Screen s = screen();
    pushPull.reset(cint(s.toTwipsX(P2->width())), cint(s.toTwipsY(P2->height())));
    P1->resize(s.toPixelsX(pushPull.Width), s.toPixelsY(pushPull.Height));
    StopPushPull();
}

void Frmpictd::StopPushPull() {
    Timtiula->setEnabled(false);
}

void Frmpictd::Timtiula_Timer() {
    const std::optional<QRect> source = pushPull.tick();
    if (!source) return;
    const units::Screen s = screen();
    P1->setStretchedSource(P2->picture(),
                           QRectF(s.toDeviceX(source->x()), s.toDeviceY(source->y()),
                                  s.toDeviceX(source->width()), s.toDeviceY(source->height())));
}
