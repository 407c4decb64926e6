// Platforms without adapters of their own: the toolkit's screen copy and
// no global key.
#include "hotkey.h"
#include "screengrabber_qt.h"

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    return std::make_unique<QtScreenGrabber>();
}

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    return std::make_unique<NullHotkeyService>();
}
