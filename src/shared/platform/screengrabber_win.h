#pragma once

#include "screengrabber.h"

// Reads the screen with GDI: one BitBlt from the window's device context
// (the screen's for the desktop window) into a device-independent bitmap,
// with CAPTUREBLT so that layered windows are in the picture too.
class WinScreenGrabber : public ScreenGrabber {
  public:
    WId desktopWindow() override;
    QImage grab(WId window, bool client, const QRect& area) override;
};
