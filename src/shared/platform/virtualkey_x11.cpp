#include "shared/platform/virtualkey_x11.h"

#include "shared/platform/systemchoice.h"
#include "shared/platform/virtualkey.h"

#include <QKeyEvent>

#include <cstring>

namespace virtualkey::x11 {
namespace {
constexpr std::uint32_t kXkEscape = 0xff1b;
// Rows of a US keyboard as evdev numbers them (X key code = evdev + 8).
struct Row {
    std::uint8_t first;
    const char* keys;
};
constexpr Row kUsRows[] = {
    {10, "1234567890"}, {24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
} // namespace

std::uint32_t fromLatinKeysym(std::uint32_t keysym) {
    if (keysym >= 'a' && keysym <= 'z') return keysym - 'a' + 'A';
    if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9')) return keysym;
    return 0;
}

std::uint32_t atUsPosition(std::uint8_t keycode) {
    for (const Row& row : kUsRows) {
        const std::size_t n = std::strlen(row.keys);
        if (keycode >= row.first && keycode < row.first + n)
            return std::uint32_t(row.keys[keycode - row.first]);
    }
    return 0;
}

bool isOtherScript(std::uint32_t keysym) {
    // Latin-1 and the function keys (0xff..) are Latin or no character at
    // all; the legacy script blocks lie between, Unicode keysyms above.
    return (keysym > 0xff && keysym < 0xfe00) || (keysym >= 0x1000100 && keysym <= 0x110ffff);
}

std::uint32_t of(std::uint32_t keysym, std::uint8_t keycode) {
    if (keysym == kXkEscape) return VK_ESCAPE;
    if (const std::uint32_t vk = fromLatinKeysym(keysym)) return vk;
    if (isOtherScript(keysym)) return atUsPosition(keycode);
    return 0;
}

} // namespace virtualkey::x11

namespace virtualkey {

std::uint32_t of(const QKeyEvent& event) {
    // On X11 the event carries the key code and the keysym of the active
    // layout; elsewhere (and for events made up by a program) Qt's key.
    if (event.nativeScanCode() > 0 && event.nativeScanCode() < 256 &&
        systemChoice().ownCalls() == WindowSystem::X11)
        return x11::of(event.nativeVirtualKey(), std::uint8_t(event.nativeScanCode()));
    return fromQtKey(event.key());
}

} // namespace virtualkey
