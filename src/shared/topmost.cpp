#include "shared/topmost.h"

#include "shared/platform/stacking.h"

#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace {
const char kBand[] = "topmostBand";
} // namespace

bool IsTopmost(const QWidget* window) {
    if (!window) return false;
    const QVariant band = window->property(kBand);
    return band.isValid() ? band.toBool() : bool(window->windowFlags() & Qt::WindowStaysOnTopHint);
}

void SetTopmost(QWidget* window, bool flag) {
    if (!window) return;
    // Qt's stay-on-top hint is given only to a window that has no
    // native window yet. Changed later, it makes the X11 platform destroy
    // the native window at its next show and make a new one, without the
    // native children made in the old (the view's server-drawn surface and
    // its buttons' windows): X11 then draws into nothing.
    // A window that exists changes its band in place (restack).
    if (!window->testAttribute(Qt::WA_WState_Created)) {
        const Qt::WindowFlags wanted = flag ? window->windowFlags() | Qt::WindowStaysOnTopHint
                                            : window->windowFlags() & ~Qt::WindowStaysOnTopHint;
        if (wanted != window->windowFlags()) window->setWindowFlags(wanted);
    }
    if (!window->isVisible()) {
        const bool had = window->testAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, had);
    }
    window->setProperty(kBand, flag);
    restack(window, flag);
}

bool hiddenByDesktop(const QWidget* window) {
    const QWindow* native = window->windowHandle();
    return window->isVisible() && native &&
           ((window->windowState() & Qt::WindowMinimized) || !native->isExposed());
}

void showForward(QWidget* window) {
    const bool hidden = hiddenByDesktop(window);
    window->show();
    window->raise();
    window->activateWindow();
    if (hidden) bringBack(window);
}
