// Platforms without a native grabber of their own use Qt's.
#include "screengrabber_qt.h"

std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber() {
    return std::make_unique<QtScreenGrabber>();
}
