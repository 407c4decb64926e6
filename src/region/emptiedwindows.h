#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;
class QWindow;

// Windows taken off the screen just before a picture of it, where the
// compositor takes the picture (Wayland). Hidden at once, a window may
// still show in it whole: many compositors fade a closed window out over
// the next frames (GNOME Shell over 150 ms), and no program can tell when
// that ends. So each is emptied first, painting nothing, and hidden once
// the compositor has drawn it so, which Qt tells as the window's next
// frame; a closing effect then fades out nothing.
class EmptiedWindows : public QObject {
    Q_OBJECT
  public:
    explicit EmptiedWindows(QObject* parent = nullptr);

    // Readies `window`, before it is first shown, to be emptied where the
    // pictures need it: a window that can show nothing, and looks as
    // before otherwise. Does nothing elsewhere.
    static void prepare(QWidget& window);
    // Whether `window` is shown and readied so.
    static bool emptiable(const QWidget& window);

    // Empties those of `windows` that are emptiable and hides the rest;
    // gone() follows once the compositor has drawn each of them empty and
    // it is hidden, or after a deadline for a compositor that tells of no
    // frame.
    void start(const QList<QWidget*>& windows);
    // Hides them, their faces back for the next time, with no gone().
    void stop();

  signals:
    void gone();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Emptied {
        QPointer<QWidget> widget;
        QPointer<QWindow> window;
        bool autoFill = false;
        bool drawn = false;
    };
    void finish();
    void restore();

    QList<Emptied> m_windows;
    QList<QPointer<QWidget>> m_quiet;
    QTimer m_deadline;
};
