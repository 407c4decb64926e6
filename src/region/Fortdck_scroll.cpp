// Automatic scrolling of a picture larger than the screen.
#include "Fortdck.h"

#include "frmMainwn.h"

#include <QAction>

namespace {
// Enabling a running timer must not restart its period: the switch is
// polled far more often than the scroll timers tick.
void enable(VbTimer* timer) {
    if (!timer->Enabled()) timer->setEnabled(true);
}
} // namespace

void Fortdck::Timer1_Timer() {
    if (m_main.mnshifougd->isChecked()) ChooseScrollTimer();
    // The choice holds until the switch, the picture's size or the
    // screen's changes, and each of those asks again; polling meanwhile
    // would only wake the program up a thousand times a second.
    Timer1->setEnabled(false);
}

void Fortdck::AskForScrollTimer() {
    if (m_life.isLoaded() && m_main.mnshifougd->isChecked()) enable(Timer1);
}

void Fortdck::ChooseScrollTimer() {
    const units::Screen s = screen();
    const double PW = Imayulanpic.Width;
    const double PH = Imayulanpic.Height;
    const double SW = s.Width();
    const double SH = s.Height();
    if (PH >= SH && PW <= SW) {
        enable(Timgund);
    } else if (PH <= SH && PW >= SW) {
        enable(Timgund2);
    } else if (PH >= SH && PW >= SW) {
        enable(Timgund);
        Timgund2->setEnabled(false);
    }
}

void Fortdck::Timgund_Timer() {
    Imayulanpic.Top = memory.ScrollPos;
    memory.ScrollPos -= 15;
    if (Imayulanpic.Height + memory.ScrollPos < Height()) memory.ScrollPos = float(Height() / 6);
    update();
}

void Fortdck::Timgund2_Timer() {
    Imayulanpic.Left = memory.ScrollPos;
    memory.ScrollPos -= 15;
    if (Imayulanpic.Width + memory.ScrollPos < Width()) memory.ScrollPos = float(Width() / 6);
    update();
}

void Fortdck::ScrollSwitchChanged(bool on) {
    if (on) {
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
