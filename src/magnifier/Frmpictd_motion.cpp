// Up-down scrolling, the push-pull zoom and the scrolling speed.
#include "magnifier/Frmpictd.h"

void Frmpictd::toggleScrolling(ScrollStart start) {
    motion.flipScrolling();
    const bool on = motion.scrolling == ViewMotion::Switch::On;
    if (on) showPushPull();
    if (on && start == ScrollStart::FromTop) motion.ScrollTop = float(WindowTop());
    Timgund->setEnabled(on);
    m_menu.show();
}

// The push-pull picture in place of the picture while push-pull is on.
void Frmpictd::showPushPull() {
    const bool on = motion.pushPull == ViewMotion::Switch::On;
    Imadpic.Visible = !on;
    refreshView();
    m_stage->setVisible(on);
    if (on)
        StartPushPull();
    else
        StopPushPull();
}

void Frmpictd::Timgund_Timer() {
    const ViewMotion::Step step = motion.tick(Imadpic.Height, WindowTop(), ScaleHeight());
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

// A running scroll keeps moving the hidden picture, its tick shown off.
void Frmpictd::mntiulaxg_Click() {
    motion.flipPushPull();
    showPushPull();
    if (motion.pushPull == ViewMotion::Switch::Off) FitWindowToPicture();
    m_menu.show();
}

void Frmpictd::StartPushPull() {
    m_stage->load(m_canvas->shownPicture(), screen());
    ResetPushPull();
    m_stage->centre(screen(), {ScaleWidth(), ScaleHeight()});
    pushPull.start();
    Timtiula->setEnabled(true);
}

void Frmpictd::ResetPushPull() {
    m_stage->reset(screen());
    StopPushPull();
}
