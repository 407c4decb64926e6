#pragma once

#include <cstdint>

// How X keysyms and key codes become virtual keys (virtualkey.h). Key
// codes are those of the evdev keymap that X servers on Linux use.
namespace virtualkey::x11 {

// 'A'..'Z' or '0'..'9' for a Latin letter or a digit, otherwise 0.
std::uint32_t fromLatinKeysym(std::uint32_t keysym);
// The letter or digit a US keyboard has on this key code, otherwise 0.
std::uint32_t atUsPosition(std::uint8_t keycode);
// Whether a keysym is a character of a script other than Latin.
bool isOtherScript(std::uint32_t keysym);
// The virtual key of a key code that gives `keysym` in the active layout
// and level: its Latin letter or digit; for a letter of another script,
// the US letter in its place; Esc as Esc; otherwise 0.
std::uint32_t of(std::uint32_t keysym, std::uint8_t keycode);

} // namespace virtualkey::x11
