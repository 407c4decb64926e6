#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>

class ScreenGrabber;

// Watches `nativeArea` of the screen after a window was taken off it, until
// it no longer shows `hidden` (the pixels of that window) and two looks a
// few milliseconds apart agree, or until the time limit: a window beneath
// that repaints only when it gets to it, or a compositor that shows a frame
// late, would otherwise leave the hidden window in the next capture.
class RepaintWait : public QObject {
    Q_OBJECT
  public:
    // Settled: the area shows what lies beneath; TimedOut: the limit ended
    // the wait.
    enum class Outcome { Waiting, Settled, TimedOut };

    explicit RepaintWait(ScreenGrabber& grabber, QObject* parent = nullptr);

    // Starts watching; finished() follows, at once for an empty area.
    void start(const QRect& nativeArea, const QImage& hidden, int limitMs = 300);
    // Ends the wait with no finished().
    void stop();

    Outcome outcome() const { return m_outcome; }
    // How many times the area was captured.
    int looks() const { return m_looks; }

    // Whether most of `shown` is still the hidden window's picture.
    static bool stillShows(const QImage& shown, const QImage& hidden);

  signals:
    void finished();

  private:
    void look();
    void seen(const QObject* asker, const QImage& now);
    void end(Outcome outcome);

    ScreenGrabber& m_grabber;
    QRect m_area;
    QImage m_hidden;
    QImage m_previous;
    QTimer m_next;
    QTimer m_limit;
    Outcome m_outcome = Outcome::Waiting;
    bool m_asking = false;
    int m_looks = 0;
};
