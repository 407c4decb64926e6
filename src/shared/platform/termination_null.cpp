#include "shared/platform/termination.h"

namespace termination {

// Where no signals come, the programs end by their menus alone.
void quitOnRequest() {}

bool requested() {
    return false;
}

} // namespace termination
