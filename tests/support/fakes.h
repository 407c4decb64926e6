#pragma once

#include "platform/programstarter.h"
#include "platform/screengrabber.h"

#include <QPointer>
#include <QStringList>

// A picture whose every pixel names its own coordinates: red and green are
// the low bytes of x and y, blue holds their high nibbles.
QImage codedPattern(int width, int height);
// The coordinates a pixel of codedPattern names.
QPoint decodePattern(QRgb pixel);

// A screen that shows the coded pattern, or, while a window covers it, what
// that window draws: so a capture taken during a view shows the view.
class FakeScreenGrabber : public ScreenGrabber {
  public:
    explicit FakeScreenGrabber(QSize screenSize);
    WId desktopWindow() override { return 0; }
    QImage grab(WId window, bool client, const QRect& area) override;

    void trim() override { ++m_trims; }

    void setCoveringWindow(QWidget* w) { m_cover = w; }
    int grabs() const { return m_grabs; }
    int trims() const { return m_trims; }

  private:
    QImage m_screen;
    QPointer<QWidget> m_cover;
    int m_grabs = 0;
    int m_trims = 0;
};

class RecordingStarter : public ProgramStarter {
  public:
    void start(const QString& fileName, Show show) override {
        started << fileName;
        shows << show;
    }
    QStringList started;
    QList<Show> shows;
};
