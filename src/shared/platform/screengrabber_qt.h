#pragma once

#include "screengrabber.h"

class QtScreenGrabber : public ScreenGrabber {
  public:
    WId desktopWindow() override { return 0; }
    QImage grab(WId window, bool client, const QRect& area) override;
};
