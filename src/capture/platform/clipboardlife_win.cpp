// Windows keeps the clipboard's data itself once it has been rendered.
#include "capture/clipboardlife.h"

#include <ole2.h>

namespace clipboardlife {

bool outlivesOwner() {
    return true;
}

void handOver() {
    // Renders every format the program offered, so that the picture stays
    // after the process has gone.
    OleFlushClipboard();
}

} // namespace clipboardlife
