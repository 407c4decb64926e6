#pragma once

#include <QObject>

#include <memory>

// What claiming the hotkey reached: how the user can bring a view without
// an icon in the notification area.
enum class HotkeyReach {
    Claimed,     // the key is the program's, whatever program has the focus
    Proposed,    // offered to the desktop, which binds it (perhaps asking the user)
    UserBinding, // the desktop gives programs no key: one the user binds to a command
    None,        // no key at all
};

// One system-wide hotkey: claimed with a key and its modifiers, it says
// activated() for each press, whichever program has the focus. A held key
// is one press. What the claim reached can change later, where the
// desktop answers in its own time.
//
// X11 takes a passive grab on the root window (hotkey_x11.cpp), Wayland
// desktops are asked through the portal (hotkey_portal.cpp), Windows
// registers it with the system (hotkey_win.cpp); elsewhere the null
// service claims nothing.
class HotkeyService : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Claims `key` (a letter or digit) with exactly `modifiers` held.
    // False when it cannot be claimed (another client holds it, no
    // platform support, a key is claimed already); the program then runs
    // on without it.
    virtual bool claim(Qt::Key key, Qt::KeyboardModifiers modifiers) = 0;
    virtual HotkeyReach reach() const = 0;

  signals:
    void activated();
    void reachChanged(HotkeyReach reach);
};

// Claims nothing; for platforms without a global hotkey and for tests.
class NullHotkeyService : public HotkeyService {
    Q_OBJECT
  public:
    bool claim(Qt::Key, Qt::KeyboardModifiers) override { return false; }
    HotkeyReach reach() const override { return HotkeyReach::None; }
};

// The hotkey service of the running platform.
std::unique_ptr<HotkeyService> makeSystemHotkeyService();
