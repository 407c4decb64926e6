#include "shared/platform/virtualkey.h"

#include <Qt>

namespace virtualkey {

std::uint32_t fromQtKey(int key) {
    if (key == Qt::Key_Escape) return VK_ESCAPE;
    // Qt numbers letters and digits as their ASCII capitals, as virtual
    // keys do.
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return std::uint32_t(key);
    return 0;
}

} // namespace virtualkey
