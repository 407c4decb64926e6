#pragma once

#include "shared/units.h"

#include <QObject>
#include <QSizeF>

#include <optional>

class ScreenInfo;
class QWidget;

// Keeps a view on the monitor it belongs to: the one under the pointer when
// a view starts, and that monitor as it is after it changes while the view
// is up (or the primary one where it has gone).
class ScreenFollower : public QObject {
    Q_OBJECT
  public:
    ScreenFollower(ScreenInfo& screens, QWidget& view);

    // Moves the view to the monitor `screens` names now. Returns how much
    // wider and taller that monitor is than the one the last view was laid
    // out for, or nothing where they are alike (or there was none).
    std::optional<QSizeF> layOut();
    // As layOut(), having chosen the monitor under the pointer.
    std::optional<QSizeF> followPointer();

    // The scale from the monitor laid out for to `now`, which becomes the
    // one laid out for.
    std::optional<QSizeF> moveTo(const units::Screen& now);

  signals:
    // A monitor came, went or changed size or resolution: once for each
    // change Qt reports, after Qt has finished reporting it.
    void changed();

  private:
    void watch();

    ScreenInfo& m_screens;
    QWidget& m_view;
    units::Screen m_laidOut;
};
