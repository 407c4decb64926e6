#pragma once

#include "shared/platform/hotkey.h"
#include "shared/tip/tiptext.h"

struct Services;

// The ways the user has to the next view while zuz waits hidden: the icon
// in a notification area and the key, as far as each reached.
class WaysBack {
  public:
    enum class Icon {
        Unknown, // the platform has no icon service: nothing is known
        NoHost,  // no notification area shows icons now
        Shown,
    };

    WaysBack(Icon icon, HotkeyReach key) : m_icon(icon), m_key(key) {}
    static WaysBack of(const Services& services);

    // What the tip's hints name as the ways back.
    TipWayBack tip() const { return {m_key, m_icon == Icon::Shown}; }
    // Whether a way of the user's own brings the next view; without one a
    // second start of the program does.
    bool reachable() const { return tip().reachable(); }
    // Whether nothing at all could bring the next view: a notification
    // area is known to be missing and no key is there, not even one the
    // user binds to a second start.
    bool stranded() const { return m_icon == Icon::NoHost && m_key == HotkeyReach::None; }
    // What the user is told before the program ends, stranded.
    static QString strandedText();

  private:
    Icon m_icon;
    HotkeyReach m_key;
};
