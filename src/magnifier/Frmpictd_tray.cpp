// The tray icon, the global hotkey and the view they bring up.
#include "magnifier/Frmpictd.h"

#include "shared/topmost.h"

#include <QApplication>

void Frmpictd::AddTrayIcon() {
    if (m_services.tray)
        connect(m_services.tray, &TrayIconService::activated, this, &Frmpictd::Pictubiao_MouseMove,
                Qt::UniqueConnection);
    m_summons.addIcon();
    // The task list is left alone: nothing depends on a borderless
    // full-screen view's entry there.
    Timer1->setEnabled(true);
}

void Frmpictd::Pictubiao_MouseMove(QSystemTrayIcon::ActivationReason reason) {
    // The right button, where the tip sends the user.
    if (reason == QSystemTrayIcon::Context) RequestView();
}

void Frmpictd::InstallHotkey() {
    if (m_services.hotkey)
        connect(m_services.hotkey, &HotkeyService::activated, this, &Frmpictd::HotkeyWindowProc,
                Qt::UniqueConnection);
    m_summons.claimKey();
}

void Frmpictd::RequestView() {
    // A view the desktop has hidden is not up: a press then brings it back
    // however soon it follows the last one.
    const auto view = isVisible() && !hiddenByDesktop(this) ? HeldKeyFilter::View::Shown
                                                            : HeldKeyFilter::View::Hidden;
    if (m_summons.take(view)) TimKey->setEnabled(true);
}

void Frmpictd::TimKey_Timer() {
    // While a box of this program waits for an answer the request is
    // dropped: kept, it would freeze a screen the user no longer looks at;
    // taken now, it would freeze the box into the view.
    if (QApplication::activeModalWidget()) {
        TimKey->setEnabled(false);
        return;
    }
    // 1. The monitor under the pointer as it is now: the view itself
    //    during one, so that the zoom compounds.
    followPointerScreen();
    // One run per arming: presses while the picture is on its way bring
    // no second view.
    TimKey->setEnabled(false);
    requestCapture(ViewCapture::Purpose::View);
}

void Frmpictd::ShowView(Picture shot) {
    Imadpic.picture = std::move(shot);
    // 2. Visible and active, so that X and Esc reach it.
    showForward(this);
    // 3, 4.
    FitWindowToPicture();
    SetTopmost(this, true);
    // 5.
    showPushPull();
    // 6. Up-down scrolling starts from the window's top.
    const bool scrolling = motion.scrolling == ViewMotion::Switch::On;
    if (scrolling) motion.ScrollTop = float(WindowTop());
    Timgund->setEnabled(scrolling);
}

void Frmpictd::CheckStillReachable() {
    if (m_quitting || isVisible() || m_editor.isOpen() || !m_summons.ways().stranded()) return;
    prompts().MessageBox(WaysBack::strandedText(), QCoreApplication::translate("zuz", "zuz 提示"));
    mnexit2_Click();
}
