#pragma once

#include "region/emptiedwindows.h"
#include "region/repaintwait.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <optional>

class QWidget;
class ScreenGrabber;

// The way from a click on the button to a picture of the screen without
// it: the button goes, X11 shows it no more, and the screen beneath is
// repainted. Each wait is a state that a signal or its deadline ends, so
// the program goes on serving its other windows and a quit meanwhile ends
// the way cleanly. Where Qt alone is there, nothing is waited for. Where
// the compositor takes the picture, the button and the windows going with
// it are emptied, and hidden once the picture covers them (emptiedwindows.h).
class PickStart : public QObject {
    Q_OBJECT
  public:
    enum class Step { Idle, Emptying, Hiding, Repainting, Clear, Covered, Abandoned };

    PickStart(QWidget& button, ScreenGrabber& grabber, QObject* parent = nullptr);

    // Hides the button and the windows `alsoGoing`, and starts on the way;
    // clear() follows, at once where nothing is to be waited for.
    void begin(const QList<QWidget*>& alsoGoing = {});
    // The picture is taken and shown over the screen, or will not be:
    // windows that were only emptied go now. False where the way had not
    // come to its end, or was past it already.
    bool covered();
    // Whether windows wait, shown empty, for covered().
    bool holdsEmptied() const { return m_emptied.holding(); }
    // Leaves the way with no clear(): the program is ending.
    void abandon();
    Step step() const { return m_step; }
    const RepaintWait& repaint() const { return m_repaint; }

  signals:
    // The screen beneath the button shows what lies there: the picture may
    // be asked for.
    void clear();

  private:
    void emptied();
    void checkHidden();
    void hidden();
    void repainted();

    QWidget& m_button;
    Step m_step = Step::Idle;
    std::optional<QRect> m_area;
    QImage m_looks;
    QTimer m_poll;
    QElapsedTimer m_hiding;
    RepaintWait m_repaint;
    EmptiedWindows m_emptied;
};
