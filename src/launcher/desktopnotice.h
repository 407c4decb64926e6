#pragma once

// Shows a launcher's failure on the desktop, before any toolkit is loaded:
// a start from the menu or from a key has no terminal to print to.
#include "launcher/startfailure.h"

namespace desktopnotice {

enum class Shown { AsNotification, AsDialog, Nowhere };

// A notification through the desktop's notification service on the
// session bus; where none answers, a message window of the first dialog
// program found. Returns where it went.
Shown show(const char* program, const startfailure::Notice& notice);

} // namespace desktopnotice
