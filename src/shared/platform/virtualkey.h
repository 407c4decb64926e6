#pragma once

#include <cstdint>

class QKeyEvent;

// Keys in Windows' virtual-key numbering: 'A'..'Z' and
// '0'..'9' for letters and digits, 27 for Esc. A letter key is named by
// the Latin letter the active layout puts on it; a key that carries a
// letter of another script (Cyrillic, Greek...) is named by the letter a
// US keyboard has in its place, so that X and Ctrl+Z stay where users of
// those layouts expect them.
namespace virtualkey {

constexpr std::uint32_t VK_ESCAPE = 27;

// The virtual key of a key event, or 0 for a key without one here.
std::uint32_t of(const QKeyEvent& event);
// The same from Qt's key alone, which follows the layout.
std::uint32_t fromQtKey(int key);

} // namespace virtualkey
