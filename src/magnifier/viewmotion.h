#pragma once

// The view's up-down scrolling: the menu's three switches and where each
// scrolling tick puts the picture's top (twips).
class ViewMotion {
  public:
    enum class Switch { Off, On };
    enum class Tick { Continue, Stop };
    struct Step {
        double top = 0;
        Tick next = Tick::Continue;
    };
    // How far one tick lifts the picture: a pixel at 15 twips per pixel.
    static constexpr float kStep = 15;

    static Switch flipped(Switch s) { return s == Switch::On ? Switch::Off : Switch::On; }
    // The menu's switches: scrolling and push-pull never both show on.
    void flipScrolling() {
        scrolling = flipped(scrolling);
        if (scrolling == Switch::On) pushPull = Switch::Off;
    }
    void flipPushPull() {
        pushPull = flipped(pushPull);
        if (pushPull == Switch::On) scrolling = Switch::Off;
    }

    // Moves the picture up a step; at its bottom the next tick starts at
    // the window's top again when looping, or the scrolling stops.
    Step tick(double pictureHeight, double windowTop, double windowHeight);

    Switch scrolling = Switch::Off;
    Switch loop = Switch::Off;
    Switch pushPull = Switch::Off;
    // The top the next tick gives the picture. Single precision, as the
    // end test compares in it.
    float ScrollTop = 0;
};
