#pragma once

#include "magnifierrig.h"

#include <QMenu>

// A form on a fake screen of the given size and resolution, loaded as the
// program loads it.
struct FormRig : MagnifierRig {
    // A monitor at `origin` of a desktop that reaches just past it.
    FormRig(QSize pixels, double dpi = 96, QPoint origin = {}) : MagnifierRig(pixels, dpi, origin) {
        create();
        load();
    }

    // The coded-pattern coordinates that the view shows at a window pixel.
    QPoint shownAt(QPoint windowPx) const {
        return decodePattern(form->grab(QRect(windowPx, QSize(1, 1))).toImage().pixel(0, 0));
    }
};
