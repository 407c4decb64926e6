#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

// Reads pixels off the screen. The forms never talk to the window system
// directly for this, so that tests can hand them a known picture.
class ScreenGrabber {
  public:
    virtual ~ScreenGrabber() = default;

    // The window whose outer area is the whole screen.
    virtual WId desktopWindow() = 0;

    // The pixels of `area`, given relative to the window's client area
    // (client = true) or to its outer frame corner, exactly as they are on
    // the screen now. Parts of the area that lie off the screen are black.
    // The image is always area.size() large.
    virtual QImage grab(WId window, bool client, const QRect& area) = 0;

    // Gives back what the grabber keeps to make the next capture fast, all
    // but the buffer of the latest capture: with it, the next capture of the
    // same area writes into memory that is in place already.
    virtual void trim() {}

    // Work of the caller's that may run while the window system copies the
    // pixels of the next grab(), so that the two overlap: it runs once,
    // after the request has gone out and before its pixels are awaited, and
    // at the latest in runMeanwhile().
    void setMeanwhile(std::function<void()> work) { m_meanwhile = std::move(work); }
    void runMeanwhile() {
        if (auto work = std::exchange(m_meanwhile, nullptr)) work();
    }

  private:
    std::function<void()> m_meanwhile;
};

// The fastest grabber the running platform offers.
std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber();

// A grabber that sees a black screen; for tests that need no pixels.
class NullScreenGrabber : public ScreenGrabber {
  public:
    WId desktopWindow() override { return 0; }
    QImage grab(WId, bool, const QRect& area) override;
};
