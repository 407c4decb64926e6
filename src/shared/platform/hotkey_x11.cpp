#include "shared/platform/hotkey_x11.h"

#include "shared/platform/virtualkey.h"
#include "shared/platform/virtualkey_x11.h"
#include "shared/platform/x11connection.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr std::uint32_t kXkNumLock = 0xff7f;
// The keyboard extension's events that replace the map.
constexpr std::uint8_t kXkbNewKeyboardNotify = 0;
constexpr std::uint8_t kXkbMapNotify = 1;

bool isLetterOrDigit(std::uint32_t virtualKey) {
    return (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
}
} // namespace

X11HotkeyService::X11HotkeyService(xcb_connection_t* connection) : m_conn(connection) {
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    static const char kXkb[] = "XKEYBOARD";
    if (xcb_query_extension_reply_t* ext = xcb_query_extension_reply(
            m_conn, xcb_query_extension(m_conn, sizeof kXkb - 1, kXkb), nullptr)) {
        if (ext->present) m_xkbEvent = ext->first_event;
        std::free(ext);
    }
    readKeyboard(m_numLock, m_keys);
}

X11HotkeyService::X11HotkeyService(std::uint32_t root, std::uint16_t numLockMask, KeyMap keys)
    : m_root(root), m_numLock(numLockMask), m_keys(std::move(keys)) {}

X11HotkeyService::~X11HotkeyService() {
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

X11HotkeyService::KeyMap X11HotkeyService::keysOf(std::uint8_t first, int count, int perCode,
                                                  const std::uint32_t* syms) {
    KeyMap keys;
    for (int i = 0; i < count && perCode > 0; ++i) {
        const std::uint8_t code = std::uint8_t(first + i);
        // Group 1, unshifted first: the key as the active layout labels it.
        const std::uint32_t plain = syms[i * perCode];
        const std::uint32_t shifted = perCode > 1 ? syms[i * perCode + 1] : 0;
        std::uint32_t vk = virtualkey::x11::of(plain, code);
        if (!vk) vk = virtualkey::x11::fromLatinKeysym(shifted);
        if (!isLetterOrDigit(vk)) continue;
        auto& codes = keys[vk];
        if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
    }
    return keys;
}

void X11HotkeyService::readKeyboard(std::uint16_t& numLock, KeyMap& keys) const {
    numLock = 0;
    keys.clear();
    const xcb_setup_t* setup = xcb_get_setup(m_conn);
    const std::uint8_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        m_conn, xcb_get_keyboard_mapping(m_conn, first, std::uint8_t(count)), nullptr);
    xcb_get_modifier_mapping_reply_t* mods =
        xcb_get_modifier_mapping_reply(m_conn, xcb_get_modifier_mapping(m_conn), nullptr);
    std::vector<std::uint8_t> numLockCodes;
    if (map) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int per = map->keysyms_per_keycode;
        keys = keysOf(first, count, per, syms);
        for (int i = 0; i < count; ++i)
            for (int level = 0; level < std::min(per, 2); ++level)
                if (syms[i * per + level] == kXkNumLock)
                    numLockCodes.push_back(std::uint8_t(first + i));
    }
    if (mods) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mods);
        const int per = mods->keycodes_per_modifier;
        for (int m = 0; m < 8 && !numLock; ++m)
            for (int k = 0; k < per; ++k)
                if (codes[m * per + k] && std::find(numLockCodes.begin(), numLockCodes.end(),
                                                    codes[m * per + k]) != numLockCodes.end())
                    numLock = std::uint16_t(1u << m);
    }
    std::free(map);
    std::free(mods);
}

std::vector<std::uint16_t> X11HotkeyService::lockVariants(std::uint16_t modifiers,
                                                          std::uint16_t numLockMask) {
    std::vector<std::uint16_t> out{modifiers, std::uint16_t(modifiers | XCB_MOD_MASK_LOCK)};
    if (numLockMask && numLockMask != XCB_MOD_MASK_LOCK) {
        out.push_back(std::uint16_t(modifiers | numLockMask));
        out.push_back(std::uint16_t(modifiers | numLockMask | XCB_MOD_MASK_LOCK));
    }
    return out;
}

namespace {
// Alt and the logo key where the common keyboard maps put them.
const struct {
    std::uint16_t x;
    Qt::KeyboardModifier qt;
} kModifiers[] = {{XCB_MOD_MASK_SHIFT, Qt::ShiftModifier},
                  {XCB_MOD_MASK_CONTROL, Qt::ControlModifier},
                  {XCB_MOD_MASK_1, Qt::AltModifier},
                  {XCB_MOD_MASK_4, Qt::MetaModifier}};
} // namespace

std::uint16_t X11HotkeyService::toXModifiers(Qt::KeyboardModifiers modifiers) {
    std::uint16_t x = 0;
    for (const auto& m : kModifiers)
        if (modifiers & m.qt) x |= m.x;
    return x;
}

std::optional<Qt::KeyboardModifiers> X11HotkeyService::fromXModifiers(std::uint16_t state,
                                                                      std::uint16_t numLockMask) {
    // Pointer buttons and the lock keys do not count.
    std::uint16_t rest = state & 0xFF & ~std::uint16_t(XCB_MOD_MASK_LOCK | numLockMask);
    Qt::KeyboardModifiers mods;
    for (const auto& m : kModifiers) {
        if (rest & m.x) {
            mods |= m.qt;
            rest &= ~m.x;
        }
    }
    // Any other modifier (AltGr, Mod3...) makes it another combination.
    if (rest) return std::nullopt;
    return mods;
}

bool X11HotkeyService::grab(const std::vector<std::uint8_t>& keycodes, std::uint16_t xmods) {
    struct Taken {
        std::uint8_t code;
        std::uint16_t mods;
        xcb_void_cookie_t cookie;
    };
    std::vector<Taken> taken;
    for (std::uint8_t code : keycodes)
        for (std::uint16_t m : lockVariants(xmods, m_numLock))
            taken.push_back({code, m,
                             xcb_grab_key_checked(m_conn, 0, m_root, m, code, XCB_GRAB_MODE_ASYNC,
                                                  XCB_GRAB_MODE_ASYNC)});
    bool ok = true;
    std::vector<bool> held;
    for (const Taken& t : taken) {
        xcb_generic_error_t* err = xcb_request_check(m_conn, t.cookie);
        held.push_back(err == nullptr);
        if (err) {
            ok = false;
            std::free(err);
        }
    }
    if (!ok) {
        // Another client holds the combination: hold none of it, so that
        // the hotkey is either there or not at all, as on Windows.
        for (std::size_t i = 0; i < taken.size(); ++i)
            if (held[i]) xcb_ungrab_key(m_conn, taken[i].code, m_root, taken[i].mods);
    }
    xcb_flush(m_conn);
    return ok;
}

void X11HotkeyService::ungrab(const std::vector<std::uint8_t>& keycodes, std::uint16_t xmods) {
    for (std::uint8_t code : keycodes)
        for (std::uint16_t m : lockVariants(xmods, m_numLock))
            xcb_ungrab_key(m_conn, code, m_root, m);
}

bool X11HotkeyService::claim(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const std::uint32_t virtualKey = virtualkey::fromQtKey(key);
    if (m_hotkey || !isLetterOrDigit(virtualKey)) return false;
    const auto found = m_keys.find(virtualKey);
    if (found == m_keys.end() || found->second.empty()) return false;
    if (m_conn && !grab(found->second, toXModifiers(modifiers))) return false;
    m_hotkey = Hotkey{modifiers, virtualKey, found->second};
    if (m_conn && !m_filterInstalled && QCoreApplication::instance()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return true;
}

// The server repeats a held key either as presses alone (detectable
// auto-repeat) or as a release and a press of the same moment. A release
// that went elsewhere (a grab of another client) must not swallow the next
// real press for long: the server repeats far more often than this.
bool X11HotkeyService::isRepeat(std::uint8_t keycode, std::uint32_t time) const {
    constexpr std::uint32_t kLongestRepeatGapMs = 2000;
    if (m_held.test(keycode)) return time - m_pressedAt < kLongestRepeatGapMs;
    return keycode == m_releasedCode && time == m_releasedAt && time != 0;
}

void X11HotkeyService::noteKey(bool press, std::uint8_t keycode, std::uint32_t time) {
    if (press) {
        m_held.set(keycode);
        m_pressedAt = time;
    } else {
        m_held.reset(keycode);
        m_releasedCode = keycode;
        m_releasedAt = time;
    }
}

bool X11HotkeyService::isHotkey(std::uint32_t window, std::uint8_t keycode,
                                std::uint16_t state) const {
    if (!m_hotkey || window != m_root) return false;
    const std::optional<Qt::KeyboardModifiers> mods = fromXModifiers(state, m_numLock);
    const auto& codes = m_hotkey->keycodes;
    return mods == m_hotkey->modifiers &&
           std::find(codes.begin(), codes.end(), keycode) != codes.end();
}

bool X11HotkeyService::isKeyboardChange(const void* event) const {
    const auto* bytes = static_cast<const std::uint8_t*>(event);
    const std::uint8_t type = bytes[0] & 0x7F;
    if (type == XCB_MAPPING_NOTIFY)
        return static_cast<const xcb_mapping_notify_event_t*>(event)->request !=
               XCB_MAPPING_POINTER;
    // Clients of the keyboard extension hear of a new layout from it
    // rather than through MappingNotify.
    return m_xkbEvent && type == m_xkbEvent &&
           (bytes[1] == kXkbNewKeyboardNotify || bytes[1] == kXkbMapNotify);
}

void X11HotkeyService::keyboardChanged(std::uint16_t numLockMask, KeyMap keys) {
    const auto codesFor = [&keys](std::uint32_t virtualKey) {
        const auto found = keys.find(virtualKey);
        return found == keys.end() ? std::vector<std::uint8_t>{} : found->second;
    };
    const bool moved = m_hotkey && (numLockMask != m_numLock ||
                                    codesFor(m_hotkey->virtualKey) != m_hotkey->keycodes);
    if (moved) {
        // Released with the lock modifier it was taken with, taken again
        // with the new one.
        Hotkey& h = *m_hotkey;
        if (m_conn) ungrab(h.keycodes, toXModifiers(h.modifiers));
        h.keycodes = codesFor(h.virtualKey);
        m_numLock = numLockMask;
        if (m_conn && !h.keycodes.empty() && !grab(h.keycodes, toXModifiers(h.modifiers)))
            h.keycodes.clear();
    }
    m_numLock = numLockMask;
    m_keys = std::move(keys);
}

bool X11HotkeyService::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message) return false;
    auto* ev = static_cast<xcb_generic_event_t*>(message);
    if (m_conn && isKeyboardChange(ev)) {
        std::uint16_t numLock = 0;
        KeyMap keys;
        readKeyboard(numLock, keys);
        keyboardChanged(numLock, std::move(keys));
        // Qt follows the new map as well.
        return false;
    }
    const std::uint8_t type = ev->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
    const bool repeat = type == XCB_KEY_PRESS && isRepeat(key->detail, key->time);
    if (key->event == m_root) noteKey(type == XCB_KEY_PRESS, key->detail, key->time);
    if (!isHotkey(key->event, key->detail, key->state)) return false;
    // A held hotkey stands for one press: each view would otherwise
    // magnify the one before, twenty times a second.
    if (type == XCB_KEY_RELEASE || repeat) return true;
    emit activated();
    // The press goes on to Qt, which has no window for it but takes its
    // time as the user's last input: a view that the hotkey brings up then
    // asks the window manager for the focus with this time, and window
    // managers that refuse focus to programs the user did not just use
    // give it.
    return false;
}
