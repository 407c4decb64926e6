#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// What claiming the hotkey reached: how the user can bring a view without
// an icon in the notification area.
enum class HotkeyReach {
    Claimed,     // the key is the program's, whatever program has the focus
    Proposed,    // offered to the desktop, which binds it (perhaps asking the user)
    UserBinding, // the desktop gives programs no key: one the user binds to a command
    None,        // no key at all
};

// The system-wide hotkey, in the shape the forms know from the window
// system: a hotkey is claimed with RegisterHotKey and arrives as a
// WM_HOTKEY message at the window procedure that is installed at that
// moment. The window procedure is swapped with SetWindowProc, which hands
// back the one it replaces (the counterpart of GWL_WNDPROC), so a hook can
// pass every message on to its predecessor.
//
// On X11 the hotkey is a passive grab on the root window, seen through a
// native event filter (hotkey_x11.cpp); elsewhere, and wherever the
// platform offers no global hotkey, the null service claims nothing.
class HotkeyService {
  public:
    // Message numbers and modifier flags as the window system numbers them.
    static constexpr std::uint32_t WM_HOTKEY = 0x0312;
    static constexpr std::uint32_t MOD_ALT = 0x0001;
    static constexpr std::uint32_t MOD_CONTROL = 0x0002;
    static constexpr std::uint32_t MOD_SHIFT = 0x0004;
    static constexpr std::uint32_t MOD_WIN = 0x0008;

    // hwnd is not needed here: the service serves one window.
    using WindowProc = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                   std::intptr_t lParam)>;

    virtual ~HotkeyService() = default;

    // Installs `proc` as the window procedure and returns the one it
    // replaces. An empty procedure is the default one, which does nothing
    // and returns 0.
    WindowProc SetWindowProc(WindowProc proc);

    // Passes a message to the installed window procedure (CallWindowProc).
    static std::intptr_t CallWindowProc(const WindowProc& proc, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam);

    // Claims modifiers + virtual key system-wide under `id`. Returns false
    // when it cannot be claimed (another client holds it, no platform
    // support); the forms do not examine the result.
    virtual bool RegisterHotKey(int id, std::uint32_t modifiers, std::uint32_t virtualKey) = 0;

    // What the hotkeys claimed so far reach now; a desktop that answers
    // later (refuses what was proposed) changes it.
    virtual HotkeyReach reach() const = 0;

    // lParam of WM_HOTKEY: modifiers in the low 16 bits, key in the high.
    static std::intptr_t MakeHotkeyLParam(std::uint32_t modifiers, std::uint32_t virtualKey) {
        return std::intptr_t((modifiers & 0xFFFF) | ((virtualKey & 0xFFFF) << 16));
    }

  protected:
    // Delivers a message to the installed window procedure.
    std::intptr_t deliver(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  private:
    WindowProc m_proc;
};

// Claims nothing; for platforms without a global hotkey and for tests.
class NullHotkeyService : public HotkeyService {
  public:
    bool RegisterHotKey(int, std::uint32_t, std::uint32_t) override { return false; }
    HotkeyReach reach() const override { return HotkeyReach::None; }
};

// The hotkey service of the running platform (chosen by CMake: X11 where
// it is built, the null service elsewhere; the null service also when the
// X11 build runs on another Qt platform).
std::unique_ptr<HotkeyService> makeSystemHotkeyService();
