#pragma once

#include "region/repaintwait.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <optional>

class QWidget;
class ScreenGrabber;

// The way from a click on the button to a picture of the screen without
// it: the button goes, X11 shows it no more, and the screen beneath is
// repainted. Each wait is a state that a signal or its deadline ends, so
// the program goes on serving its other windows and a quit meanwhile ends
// the way cleanly. Where Qt alone is there, nothing is waited for.
//
// Where the compositor's pictures may show a window that is closing
// (Wayland), the button is not hidden at first but emptied: it shows
// nothing, and once the compositor has drawn it so, which the next frame
// Qt is told of says, it goes. A closing effect then fades out nothing.
class PickStart : public QObject {
    Q_OBJECT
  public:
    enum class Step { Idle, Emptying, Hiding, Repainting, Clear, Abandoned };

    PickStart(QWidget& button, ScreenGrabber& grabber, QObject* parent = nullptr);

    // Readies `button`, before its window exists, to be emptied where the
    // pictures need it: a window that can show nothing.
    static void prepare(QWidget& button);

    // Hides the button and starts on the way; clear() follows, at once
    // where nothing is to be waited for.
    void begin();
    // Leaves the way with no clear(): the program is ending.
    void abandon();
    Step step() const { return m_step; }
    const RepaintWait& repaint() const { return m_repaint; }

  signals:
    // The screen beneath the button shows what lies there: the picture may
    // be asked for.
    void clear();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void empty();
    void shownEmpty();
    void refill();
    void checkHidden();
    void hidden();
    void repainted();

    QWidget& m_button;
    Step m_step = Step::Idle;
    std::optional<QRect> m_area;
    QImage m_looks;
    QTimer m_poll;
    QElapsedTimer m_hiding;
    QTimer m_emptyDeadline;
    QList<QPointer<QWidget>> m_emptied;
    RepaintWait m_repaint;
};
