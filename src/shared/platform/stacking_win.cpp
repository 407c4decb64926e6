// SetWindowPos into or out of the topmost band: no move, no resize, no
// activation, and shown if it is not.
#include "shared/platform/stacking.h"

#include "shared/platform/systemchoice.h"

#include <QWidget>

#include <windows.h>

void restack(QWidget* window, bool topmost) {
    // On another Qt platform (offscreen) a window id is no window handle,
    // and SetWindowPos on it would reach some other program's window.
    if (systemChoice().ownCalls() != WindowSystem::Windows) {
        if (topmost) window->raise();
        return;
    }
    const HWND hwnd = HWND(window->winId());
    ::SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void bringBack(QWidget* window) {
    if (systemChoice().ownCalls() != WindowSystem::Windows) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        return;
    }
    const HWND hwnd = HWND(window->winId());
    if (::IsIconic(hwnd)) ::ShowWindow(hwnd, SW_RESTORE);
}
