// SetWindowPos into or out of the topmost band: no move, no resize, no
// activation, and shown if it is not.
#include "platform/stacking.h"

#include <QWidget>

#include <windows.h>

void restack(QWidget* window, bool topmost) {
    const HWND hwnd = HWND(window->winId());
    ::SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
