#pragma once

#include "shared/platform/compositorsync.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QWidget;

// Windows taken off the screen just before a picture of it, where the
// compositor takes the picture (Wayland). Hidden at once, a window may
// still show in it whole: many compositors fade a closed window out over
// the next frames (GNOME Shell over 150 ms), and no program can tell when
// that ends. So each is emptied instead, painting nothing, and the picture
// may be taken once the compositor has the empty drawing, which a round
// trip tells. They are hidden after the picture: a window hidden while it
// is taken has the desktop busy with its going (the focus passed on, the
// window beneath redrawn, the closing effect), and the picture comes that
// much later; hidden after, it fades out nothing.
class EmptiedWindows : public QObject {
    Q_OBJECT
  public:
    // With the platform's round trip, which only a compositor that takes
    // the pictures has (compositorsync.h): elsewhere nothing is emptiable.
    explicit EmptiedWindows(std::unique_ptr<CompositorSync> sync = makeSystemCompositorSync(),
                            QObject* parent = nullptr);

    // Readies `window`, before it is first shown, to be emptied where the
    // pictures need it: a window that can show nothing, and looks as
    // before otherwise. Does nothing elsewhere.
    static void prepare(QWidget& window);
    // Whether `window` is shown and readied so, and a round trip tells
    // when the compositor has its empty drawing.
    bool emptiable(const QWidget& window) const;

    // Empties those of `windows` that are emptiable and hides the rest;
    // gone() follows once the compositor has each of them empty, or after
    // a deadline for a compositor that does not answer.
    void start(const QList<QWidget*>& windows);
    // Hides them, their faces back for the next time; no gone() follows.
    void stop();
    // Whether windows are shown empty, from start() to stop().
    bool holding() const { return !m_windows.isEmpty(); }

  signals:
    // The screen shows none of the windows: the picture may be taken.
    void gone();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Emptied {
        QPointer<QWidget> widget;
        bool autoFill = false;
    };
    void reached();
    void finish();

    std::unique_ptr<CompositorSync> m_sync;
    // Asks not yet answered, those of a stopped emptying among them.
    int m_asked = 0;
    QList<Emptied> m_windows;
    QList<QPointer<QWidget>> m_quiet;
    QTimer m_deadline;
};
