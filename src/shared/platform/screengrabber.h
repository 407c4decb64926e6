#pragma once

#include <QColor>
#include <QImage>
#include <QLoggingCategory>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

// Steps of a capture and of the window that shows it, each with the
// monotonic clock in milliseconds, so that a run can be laid beside an
// outside observer's timings (Python's time.monotonic() reads the same
// clock). Off unless QT_LOGGING_RULES="zuz.capture.timing.debug=true".
Q_DECLARE_LOGGING_CATEGORY(captureTiming)
namespace capturetiming {
void mark(const char* step);
} // namespace capturetiming

// Reads pixels off the screen. The forms never talk to X11, Windows or the
// desktop portal directly for this, so that tests can hand them a known picture.
//
// A caller connects to grabbed() and failed(), then calls request(); each
// request is answered exactly once, by one of the two, naming the asker
// given with it, and a grabber answers its requests in the order they came.
// Grabbers that read the screen themselves (X11, Windows, Qt's own, the
// tests') answer inside request(): a capture then costs no trip through the
// event loop, which on X11 is most of what it would take. Those that must
// ask the desktop (the Wayland portal, grim) answer when it has answered;
// requests that come meanwhile are served together by the next picture,
// taken after theirs came.
class ScreenGrabber : public QObject {
    Q_OBJECT
  public:
    ~ScreenGrabber() override = default;

    // Asks for the pixels of `area` of the screen, in the device pixels of
    // X11 or Windows (the portal's picture is cut to match), as they are on
    // the screen now. Parts of the area that lie off the screen are black;
    // the picture is always area.size() large.
    virtual void request(const QRect& area, const QObject* asker) = 0;

    // Gives back what the grabber keeps to make the next capture fast, all
    // but the buffer of the latest capture: with it, the next capture of the
    // same area writes into memory that is in place already.
    virtual void trim() {}

    // Draws `source` of `picture` stretched onto `target` of `window`, and
    // fills the rest of `clip` with `back` (all in the window's device
    // pixels), by X11 itself, straight from the memory a
    // capture of this grabber left the picture in: no window-sized buffer
    // on this side, so a view costs no fresh memory. Each target pixel takes
    // the source pixel under its centre, as stretch::stretchNearest() does.
    // Returns false, having drawn nothing, where the picture or the window
    // system does not allow it; the caller then draws itself.
    // `filter` Smooth mixes the four nearest source pixels (bilinear).
    enum class Filter { Nearest, Smooth };
    virtual bool drawStretched(WId /*window*/, const QRegion& /*clip*/, const QRectF& /*target*/,
                               const QImage& /*picture*/, const QRectF& /*source*/,
                               const QColor& /*back*/, Filter /*filter*/ = Filter::Nearest) {
        return false;
    }
    // Lays `colour` (not premultiplied) over `rects` of `window` within
    // `clip`, as QPainter's source-over does; after drawStretched().
    virtual void fillOver(WId /*window*/, const QRegion& /*clip*/, const QList<QRect>& /*rects*/,
                          QRgb /*colour*/) {}
    // An unfilled picture of `like`'s size and format, in memory
    // drawStretched() can draw from where the grabber has such memory: for
    // a changed copy of a capture that the server shows as it shows the
    // capture.
    virtual QImage drawableLike(const QImage& like) { return QImage(like.size(), like.format()); }
    // Whether drawStretched() may succeed here at all, and for `picture`.
    virtual bool drawsOnServer() const { return false; }
    virtual bool drawsOnServer(const QImage& /*picture*/) const { return false; }

    // Work of the caller's that may run while X11 copies the
    // pixels of the next request, so that the two overlap: it runs once,
    // after the request has gone out and before its pixels are awaited, and
    // at the latest in runMeanwhile().
    void setMeanwhile(std::function<void()> work) { m_meanwhile = std::move(work); }
    void runMeanwhile() {
        if (auto work = std::exchange(m_meanwhile, nullptr)) work();
    }

  signals:
    // The answer to `asker`'s request: the picture, area.size() large.
    void grabbed(const QObject* asker, const QImage& picture);
    // There is no picture for `asker`'s request. `why` is in words for the
    // user, for the form to show: said once, the first time, and empty
    // after that or when there is nothing to say.
    void failed(const QObject* asker, const QString& why);

  private:
    std::function<void()> m_meanwhile;
};

// A grabber that reads the screen itself, at once.
class DirectScreenGrabber : public ScreenGrabber {
    Q_OBJECT
  public:
    void request(const QRect& area, const QObject* asker) final;

  protected:
    // The pixels of `area`, or a null image and why (said once) in
    // `whyNot`.
    virtual QImage grabNow(const QRect& area, QString& whyNot) = 0;
};

// The fastest grabber the running platform offers.
std::unique_ptr<ScreenGrabber> makeSystemScreenGrabber();

// A grabber that sees a black screen; for tests that need no pixels.
class NullScreenGrabber : public DirectScreenGrabber {
    Q_OBJECT

  protected:
    QImage grabNow(const QRect& area, QString& whyNot) override;
};
