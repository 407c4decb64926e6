// Windows hands every key event its virtual key, which names letter keys
// by their place on a US keyboard whatever script the layout writes.
#include "shared/platform/systemchoice.h"
#include "shared/platform/virtualkey.h"

#include <QKeyEvent>

namespace virtualkey {

std::uint32_t of(const QKeyEvent& event) {
    if (systemChoice().family == ServiceFamily::Toolkit) return fromQtKey(event.key());
    const std::uint32_t vk = event.nativeVirtualKey();
    if (vk == VK_ESCAPE || (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
    return fromQtKey(event.key());
}

} // namespace virtualkey
