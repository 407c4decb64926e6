#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
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

    // Why grabs give no picture, in words for the user, for the form to
    // show: said once, the first time, and empty after that or when there
    // is nothing to say.
    virtual QString takeFailure() { return {}; }

    // Gives back what the grabber keeps to make the next capture fast, all
    // but the buffer of the latest capture: with it, the next capture of the
    // same area writes into memory that is in place already.
    virtual void trim() {}

    // Draws `source` of `picture` stretched onto `target` of `window`, and
    // fills the rest of `clip` with `back` (all in the window's device
    // pixels), by the window system itself, straight from the memory a
    // capture of this grabber left the picture in: no window-sized buffer
    // on this side, so a view costs no fresh memory. Each target pixel takes
    // the source pixel under its centre, as stretch::stretchNearest() does.
    // Returns false, having drawn nothing, where the picture or the window
    // system does not allow it; the caller then draws itself.
    virtual bool drawStretched(WId /*window*/, const QRegion& /*clip*/, const QRectF& /*target*/,
                               const QImage& /*picture*/, const QRectF& /*source*/,
                               const QColor& /*back*/) {
        return false;
    }
    // Whether drawStretched() may succeed here at all, and for `picture`.
    virtual bool drawsOnServer() const { return false; }
    virtual bool drawsOnServer(const QImage& /*picture*/) const { return false; }

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
