#include "topmost.h"

#include "platform/stacking.h"

#include <QWidget>
#include <QWindow>

void SetTopmost(QWidget* window, bool flag) {
    if (!window) return;
    const Qt::WindowFlags wanted = flag ? window->windowFlags() | Qt::WindowStaysOnTopHint
                                        : window->windowFlags() & ~Qt::WindowStaysOnTopHint;
    if (wanted != window->windowFlags()) {
        if (window->windowHandle() && window->isVisible()) {
            // Changing the widget's flags would unmap and remap the window;
            // the native window can change its stacking band in place.
            window->overrideWindowFlags(wanted);
            window->windowHandle()->setFlags(wanted);
        } else {
            window->setWindowFlags(wanted);
        }
    }
    if (!window->isVisible()) {
        const bool had = window->testAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, had);
    }
    restack(window, flag);
}
