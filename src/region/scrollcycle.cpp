#include "region/scrollcycle.h"

ScrollDirection scrollDirection(QSizeF picture, QSizeF screen) {
    if (picture.height() >= screen.height()) return ScrollDirection::Vertical;
    if (picture.width() >= screen.width()) return ScrollDirection::Horizontal;
    return ScrollDirection::None;
}

double ScrollCycle::step(double pictureSpan, double windowSpan) {
    const double now = ScrollPos;
    ScrollPos -= kStepTwips;
    if (pictureSpan + ScrollPos < windowSpan) ScrollPos = float(windowSpan / 6);
    return now;
}
