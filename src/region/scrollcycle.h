#pragma once

#include <QSizeF>

enum class ScrollDirection { None, Vertical, Horizontal };

// Which way a picture scrolls on a screen of that size: down when it is
// at least as tall as the screen (wider or not), across when it is only at
// least as wide; one that fits both ways does not scroll.
ScrollDirection scrollDirection(QSizeF picture, QSizeF screen);

// Where a scrolling picture stands, in twips: the Top or Left the next step
// gives it. Both directions share it, and it lasts for the life of the
// program, so a new window carries on from where the last one stopped.
class ScrollCycle {
  public:
    // The place the picture takes now. The next one is a step further up
    // or left; once the picture's far edge would come inside the window,
    // it starts again a sixth of the window inside the near edge, so the
    // loop shows where it restarts.
    double step(double pictureSpan, double windowSpan);

    float ScrollPos = 0;
    static constexpr float kStepTwips = 15;
};
