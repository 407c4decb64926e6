// Platforms whose key events carry no X keysym: Qt's own key.
#include "platform/virtualkey.h"

#include <QKeyEvent>

namespace virtualkey {

std::uint32_t of(const QKeyEvent& event) {
    return fromQtKey(event.key());
}

} // namespace virtualkey
