#pragma once

#include "magnifier/mouseroute.h"
#include "magnifier/wheelzoom.h"

#include <QPointF>

class Frmpictd;
class QWheelEvent;
struct MouseReport;

// The view's mouse, sent to the handlers of whichever control gets it: the
// picture control, in twips from its corner, or the form around it. It
// also gives the pointer the shape of the control under it.
class ViewMouse {
  public:
    explicit ViewMouse(Frmpictd& form) : m_form(form) {}

    void report(const MouseReport& report);
    // The whole notches a wheel delta (Qt's eighths of a degree) completes.
    int notches(int delta) { return m_wheel.take(delta); }
    // The wheel zooms; with Shift, while the reading band shows, it sizes
    // the band.
    void wheel(const QWheelEvent& event);

  private:
    bool overPicture(const QPointF& posPx) const;
    QPointF toPictureTwips(const QPointF& posPx) const;
    void updatePointer(const QPointF& posPx);

    Frmpictd& m_form;
    MouseRoute m_route;
    wheelzoom::Notches m_wheel;
};
