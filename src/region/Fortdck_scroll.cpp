// Automatic scrolling of a picture larger than the screen.
#include "region/Fortdck.h"

#include "region/frmMainwn.h"

namespace {
// Enabling a running timer must not restart its period: the switch is
// polled far more often than the scroll timers tick.
void enable(VbTimer* timer) {
    if (!timer->Enabled()) timer->setEnabled(true);
}
} // namespace

void Fortdck::Timer1_Timer() {
    if (m_main.scrollSwitch().isOn()) ChooseScrollTimer();
    // The choice holds until the switch, the picture's size or the
    // screen's changes, and each of those asks again; polling meanwhile
    // would only wake the program up a thousand times a second.
    Timer1->setEnabled(false);
}

void Fortdck::AskForScrollTimer() {
    if (m_life.isLoaded() && m_main.scrollSwitch().isOn()) enable(Timer1);
}

void Fortdck::ChooseScrollTimer() {
    const units::Screen s = screen();
    // Only one of the two may run: they share the scroll position, and a
    // picture that changed its shape while scrolling would otherwise be
    // moved both ways at once.
    switch (scrollDirection({Imayulanpic.Width, Imayulanpic.Height}, {s.Width(), s.Height()})) {
    case ScrollDirection::Vertical:
        Timgund2->setEnabled(false);
        enable(Timgund);
        break;
    case ScrollDirection::Horizontal:
        Timgund->setEnabled(false);
        enable(Timgund2);
        break;
    case ScrollDirection::None:
        break;
    }
}

void Fortdck::Timgund_Timer() {
    Imayulanpic.Top = memory.scroll.step(Imayulanpic.Height, Height());
    update();
}

void Fortdck::Timgund2_Timer() {
    Imayulanpic.Left = memory.scroll.step(Imayulanpic.Width, Width());
    update();
}

void Fortdck::ScrollSwitchChanged(ScrollSwitch::State state) {
    if (state == ScrollSwitch::State::On) {
        AskForScrollTimer();
        return;
    }
    Imayulanpic.Left = (Width() - Imayulanpic.Width) / 2;
    Imayulanpic.Top = (Height() - Imayulanpic.Height) / 2;
    Timer1->setEnabled(false);
    Timgund->setEnabled(false);
    Timgund2->setEnabled(false);
    update();
}
