// Up-down scrolling, the push-pull zoom and the scrolling speed.
#include "magnifier/Frmpictd.h"

void Frmpictd::toggleScrolling(ScrollStart start) {
    motion.scrolling = ViewMotion::flipped(motion.scrolling);
    if (motion.scrolling == ViewMotion::Switch::On) {
        motion.pushPull = ViewMotion::Switch::Off;
        Timtiula->setEnabled(false);
        m_stage->setVisible(false);
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

void Frmpictd::mntiulaxg_Click() {
    motion.pushPull = ViewMotion::flipped(motion.pushPull);
    if (motion.pushPull == ViewMotion::Switch::On) {
        Imadpic.Visible = false;
        refreshView();
        m_stage->setVisible(true);
        StartPushPull();
        // A running scroll keeps moving the hidden picture.
        motion.scrolling = ViewMotion::Switch::Off;
    } else {
        Timtiula->setEnabled(false);
        m_stage->setVisible(false);
        Imadpic.Visible = true;
        refreshView();
        FitWindowToPicture();
    }
    m_menu.show();
}

void Frmpictd::StartPushPull() {
    m_stage->load(Imadpic.picture, screen());
    ResetPushPull();
    m_stage->centre(screen(), {ScaleWidth(), ScaleHeight()});
    pushPull.start();
    Timtiula->setEnabled(true);
}

void Frmpictd::ResetPushPull() {
    m_stage->reset(screen());
    StopPushPull();
}
