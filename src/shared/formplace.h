#pragma once

#include "shared/units.h"

#include <QPointF>
#include <QRect>
#include <QWidget>

// A top-level form's Left and Top: its place in twips from the top left
// corner of the monitor it is laid out on, which need not be the primary
// one, nor at the desktop's origin.
namespace formplace {

inline QPointF twips(const QWidget& form, const units::Screen& s, const QRect& monitor) {
    return {s.toTwipsX(form.x() - monitor.left()), s.toTwipsY(form.y() - monitor.top())};
}

inline void setLeft(QWidget& form, const units::Screen& s, const QRect& monitor, double twips) {
    form.move(monitor.left() + s.toPixelsX(twips), form.y());
}

inline void setTop(QWidget& form, const units::Screen& s, const QRect& monitor, double twips) {
    form.move(form.x(), monitor.top() + s.toPixelsY(twips));
}

} // namespace formplace
