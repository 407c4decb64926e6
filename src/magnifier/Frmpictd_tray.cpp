// The tray icon, the global hotkey and the view they bring up.
#include "magnifier/Frmpictd.h"

#include "shared/platform/stacking.h"
#include "shared/topmost.h"

#include <QApplication>
#include <QIcon>
#include <QWindow>

void Frmpictd::AddTrayIcon() {
    if (m_services.tray) {
        connect(m_services.tray, &TrayIconService::activated, this, &Frmpictd::Pictubiao_MouseMove,
                Qt::UniqueConnection);
        m_services.tray->add(QIcon(Pictubiao[0]), TrayTip());
    }
    // The task list is left alone: nothing depends on a borderless
    // full-screen view's entry there.
    Timer1->setEnabled(true);
}

void Frmpictd::Timer1_Timer() {
    if (m_services.tray) m_services.tray->modifyIcon(QIcon(Pictubiao[TrayFrame]));
    TrayFrame = TrayFrame + 1;
    if (TrayFrame == 2) TrayFrame = 0;
}

void Frmpictd::Pictubiao_MouseMove(QSystemTrayIcon::ActivationReason reason) {
    // The right button, where the tip sends the user.
    if (reason == QSystemTrayIcon::Context) RequestView();
}

void Frmpictd::InstallHotkey() {
    if (!m_services.hotkey) return;
    connect(m_services.hotkey, &HotkeyService::activated, this, &Frmpictd::HotkeyWindowProc,
            Qt::UniqueConnection);
    // Without the hotkey the icon and the menu still magnify; what it
    // reached only matters when there is no icon either.
    m_services.hotkey->claim(HotkeyKey, HotkeyModifiers);
}

void Frmpictd::RequestView() {
    // A view the desktop has hidden is not up: a press then brings it back
    // however soon it follows the last one.
    const auto view = isVisible() && !hiddenByDesktop() ? HeldKeyFilter::View::Shown
                                                        : HeldKeyFilter::View::Hidden;
    if (heldKeys.request(view) == HeldKeyFilter::Verdict::Taken) TimKey->setEnabled(true);
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
    // 2. Show the window, as a form's Show does: visible and active, so
    //    that X and Esc reach it.
    const bool hidden = hiddenByDesktop();
    show();
    raise();
    activateWindow();
    if (hidden) bringBack(this);
    // 3, 4.
    FitWindowToPicture();
    SetTopmost(this, true);
    // 5. The push-pull effect draws in P1 in place of the picture control.
    const bool pushPull = motion.pushPull == ViewMotion::Switch::On;
    Imadpic.Visible = !pushPull;
    refreshView();
    if (pushPull) StartPushPull();
    // 6. Up-down scrolling starts from the window's top.
    const bool scrolling = motion.scrolling == ViewMotion::Switch::On;
    if (scrolling) motion.ScrollTop = float(WindowTop());
    Timgund->setEnabled(scrolling);
}

// Shown as far as Qt knows, yet not on the screen: minimised by another
// program or hidden by "show desktop".
bool Frmpictd::hiddenByDesktop() const {
    const QWindow* native = windowHandle();
    return isVisible() && native && ((windowState() & Qt::WindowMinimized) || !native->isExposed());
}

void Frmpictd::CheckStillReachable() {
    if (m_quitting || isVisible() || m_editor || !WaysBack::of(m_services).stranded()) return;
    prompts().MessageBox(UnreachableText(), QCoreApplication::translate("zuz", "zuz 提示"));
    mnexit2_Click();
}
