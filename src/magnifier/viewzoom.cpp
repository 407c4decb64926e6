#include "magnifier/viewzoom.h"

#include <QCoreApplication>

ViewZoom::Step ViewZoom::restoreDefault(double screenWidth, double screenHeight) {
    m_enlarge = Enlarge::Twice;
    m_directions = Directions::Both;
    return {Fit::After, std::nullopt, 2 * screenWidth, 2 * screenHeight};
}

// From vertical-only as well: both ways again, at the other size.
ViewZoom::Step ViewZoom::toggleEnlarge(double screenWidth, double screenHeight) {
    m_directions = Directions::Both;
    m_enlarge = m_enlarge == Enlarge::Twice ? Enlarge::OneAndHalf : Enlarge::Twice;
    const double factor = m_enlarge == Enlarge::OneAndHalf ? 1.5 : 2;
    return {Fit::Before, std::nullopt, factor * screenWidth, factor * screenHeight};
}

ViewZoom::Step ViewZoom::toggleVertical(double screenWidth, double screenHeight) {
    if (m_directions == Directions::Both) {
        // The screen's own width from its left edge: the picture cannot
        // be dragged sideways. The enlarge item keeps its caption.
        m_directions = Directions::VerticalOnly;
        return {Fit::None, 0.0, screenWidth, 2 * screenHeight};
    }
    m_directions = Directions::Both;
    m_enlarge = Enlarge::Twice;
    return {Fit::Before, std::nullopt, 2 * screenWidth, 2 * screenHeight};
}

QString ViewZoom::enlargeCaption() const {
    return m_enlarge == Enlarge::Twice ? QCoreApplication::translate("zuz", "扩大1点5倍")
                                       : QCoreApplication::translate("zuz", "扩大2倍");
}

QString ViewZoom::directionsCaption() const {
    return m_directions == Directions::Both ? QCoreApplication::translate("zuz", "只纵向放大")
                                            : QCoreApplication::translate("zuz", "横向纵向都放大");
}
