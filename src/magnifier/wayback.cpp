#include "wayback.h"

#include "platform/services.h"

WaysBack WaysBack::of(const Services& services) {
    const Icon icon = !services.tray                   ? Icon::Unknown
                      : services.tray->hostAvailable() ? Icon::Shown
                                                       : Icon::NoHost;
    return {icon, services.hotkey ? services.hotkey->reach() : HotkeyReach::None};
}
