#pragma once

#include "magnifier/heldkey.h"
#include "magnifier/wayback.h"
#include "shared/platform/services.h"

#include <QPixmap>

#include <array>
#include <cstdint>

// What calls up a view while zuz waits hidden: the icon in a notification
// area, whose two frames take turns while it is there, the key, and a
// later start's request. A request that repeats a held key during a view
// is dropped.
class ViewSummons {
  public:
    // Ctrl + the key "Z".
    static constexpr Qt::Key HotkeyKey = Qt::Key_Z;
    static constexpr Qt::KeyboardModifiers HotkeyModifiers{Qt::ControlModifier};
    // The icon's tip (at most 63 bytes in UTF-8).
    static QString TrayTip();

    ViewSummons(const Services& services, const std::array<QPixmap, 2>& frames)
        : m_services(services), m_frames(frames) {}

    // The icon with its first frame; later ticks alternate the two.
    void addIcon();
    void nextFrame();
    void removeIcon();
    // Without the key the icon and the menu still call up views; what it
    // reached only matters when there is no icon either.
    void claimKey();
    // Whether a request made while the view is `view` is taken.
    bool take(HeldKeyFilter::View view) {
        return heldKeys.request(view) == HeldKeyFilter::Verdict::Taken;
    }
    WaysBack ways() const { return WaysBack::of(m_services); }

    HeldKeyFilter heldKeys;
    // The frame the next tick shows, 0 or 1.
    std::int32_t TrayFrame = 0;

  private:
    const Services& m_services;
    const std::array<QPixmap, 2>& m_frames;
};
