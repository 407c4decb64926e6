// Platforms without a hotkey service of their own claim nothing.
#include "platform/hotkey.h"

std::unique_ptr<HotkeyService> makeSystemHotkeyService() {
    return std::make_unique<NullHotkeyService>();
}
