#pragma once

#include "shared/platform/hotkey.h"

#include <QAbstractNativeEventFilter>

#include <bitset>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

struct xcb_connection_t;

// The hotkey on X11: a passive grab of the key on the root window, once
// for each combination of the lock modifiers (CapsLock, NumLock) so that
// the hotkey works whichever of them is on. The grab is taken with
// owner_events off, so the key press is reported to the root window even
// while one of this program's own windows has the focus; the native event
// filter turns it into activated().
// Ctrl+Z then no longer reaches the focused program.
//
// The key is found by the virtual-key rule of virtualkey.h, and found
// again, with the grab moved, whenever the keyboard map changes (another
// layout, NumLock on another modifier).
class X11HotkeyService : public HotkeyService, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    // Key codes that carry each letter or digit, per virtual key.
    using KeyMap = std::map<std::uint32_t, std::vector<std::uint8_t>>;

    // Reads the root window, the keyboard map and the NumLock modifier
    // from the server.
    explicit X11HotkeyService(xcb_connection_t* connection);
    // A service that talks to no server: claim only records the hotkey,
    // and events are fed to nativeEventFilter by hand (tests).
    X11HotkeyService(std::uint32_t root, std::uint16_t numLockMask, KeyMap keys);
    ~X11HotkeyService() override;

    bool claim(Qt::Key key, Qt::KeyboardModifiers modifiers) override;
    HotkeyReach reach() const override {
        return m_hotkey ? HotkeyReach::Claimed : HotkeyReach::None;
    }
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The decision of the filter: whether a key press with this key code
    // and modifier state on `window` is the hotkey.
    bool isHotkey(std::uint32_t window, std::uint8_t keycode, std::uint16_t state) const;

    // The X modifier states that a grab of `modifiers` covers: with and
    // without CapsLock and NumLock.
    static std::vector<std::uint16_t> lockVariants(std::uint16_t modifiers,
                                                   std::uint16_t numLockMask);
    // Qt's modifiers -> X modifier mask, and back (none when the state
    // holds a modifier that Qt's four do not name, AltGr for one).
    static std::uint16_t toXModifiers(Qt::KeyboardModifiers modifiers);
    static std::optional<Qt::KeyboardModifiers> fromXModifiers(std::uint16_t state,
                                                               std::uint16_t numLockMask);

    std::uint16_t numLockMask() const { return m_numLock; }

    // The key codes that carry each virtual key in a keyboard map: `syms`
    // holds `perCode` keysyms for each key code from `first` on.
    static KeyMap keysOf(std::uint8_t first, int count, int perCode, const std::uint32_t* syms);

    // Whether an event says that the keyboard map has changed.
    bool isKeyboardChange(const void* event) const;
    // Takes a new map: moves the grabs of the hotkeys to the key codes that
    // now carry them.
    void keyboardChanged(std::uint16_t numLockMask, KeyMap keys);

  private:
    struct Hotkey {
        Qt::KeyboardModifiers modifiers;
        std::uint32_t virtualKey;
        std::vector<std::uint8_t> keycodes;
    };
    void readKeyboard(std::uint16_t& numLock, KeyMap& keys) const;
    bool grab(const std::vector<std::uint8_t>& keycodes, std::uint16_t xmods);
    void ungrab(const std::vector<std::uint8_t>& keycodes, std::uint16_t xmods);
    // Whether a press of a hotkey's key is the key repeating while held,
    // as the server reports it with and without detectable auto-repeat.
    bool isRepeat(std::uint8_t keycode, std::uint32_t time) const;
    // Keeps track of the hotkey's keys going down and up, whatever modifiers
    // are held by then.
    void noteKey(bool press, std::uint8_t keycode, std::uint32_t time);

    xcb_connection_t* m_conn = nullptr;
    std::uint32_t m_root = 0;
    std::uint16_t m_numLock = 0;
    KeyMap m_keys;
    std::optional<Hotkey> m_hotkey;
    bool m_filterInstalled = false;
    // The first event number of the keyboard extension, 0 without it.
    std::uint8_t m_xkbEvent = 0;
    // The hotkey keys held down now, and the last one let go, with when.
    std::bitset<256> m_held;
    std::uint8_t m_releasedCode = 0;
    std::uint32_t m_releasedAt = 0;
    std::uint32_t m_pressedAt = 0;
};
