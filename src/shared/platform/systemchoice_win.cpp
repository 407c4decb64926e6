// Which adapters serve the program on Windows: the system's own, unless
// the user asks for the toolkit's.
#include "hotkey_win.h"
#include "screengrabber_qt.h"
#include "screengrabber_win.h"
#include "systemchoice.h"

namespace {
bool toolkitOnly() {
    return forcedServiceFamily() == ServiceFamily::Toolkit;
}
} // namespace

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    if (toolkitOnly()) return std::make_unique<QtScreenGrabber>();
    return std::make_unique<WinScreenGrabber>();
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    if (toolkitOnly()) return std::make_unique<NullHotkeyService>();
    return std::make_unique<WinHotkeyService>();
}
