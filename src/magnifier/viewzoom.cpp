#include "magnifier/viewzoom.h"

#include <QCoreApplication>

ViewZoom::Step ViewZoom::restoreDefault(const QSizeF& screen) {
    m_enlarge = Enlarge::Twice;
    m_directions = Directions::Both;
    return {Fit::After, std::nullopt, 2 * screen.width(), 2 * screen.height()};
}

// From vertical-only as well: both ways again, at the other size.
ViewZoom::Step ViewZoom::toggleEnlarge(const QSizeF& screen) {
    m_directions = Directions::Both;
    m_enlarge = m_enlarge == Enlarge::Twice ? Enlarge::OneAndHalf : Enlarge::Twice;
    const double factor = m_enlarge == Enlarge::OneAndHalf ? 1.5 : 2;
    return {Fit::Before, std::nullopt, factor * screen.width(), factor * screen.height()};
}

ViewZoom::Step ViewZoom::toggleVertical(const QSizeF& screen) {
    if (m_directions == Directions::Both) {
        // The screen's own width from its left edge: the picture cannot
        // be dragged sideways. The enlarge item keeps its caption.
        m_directions = Directions::VerticalOnly;
        return {Fit::None, 0.0, screen.width(), 2 * screen.height()};
    }
    m_directions = Directions::Both;
    m_enlarge = Enlarge::Twice;
    return {Fit::Before, std::nullopt, 2 * screen.width(), 2 * screen.height()};
}

QSizeF ViewZoom::modeSize(const QSizeF& screen) const {
    if (m_directions == Directions::VerticalOnly) return {screen.width(), 2 * screen.height()};
    const double factor = m_enlarge == Enlarge::OneAndHalf ? 1.5 : 2;
    return factor * screen;
}

QString ViewZoom::enlargeCaption() const {
    return m_enlarge == Enlarge::Twice ? QCoreApplication::translate("zuz", "扩大1点5倍")
                                       : QCoreApplication::translate("zuz", "扩大2倍");
}

QString ViewZoom::directionsCaption() const {
    return m_directions == Directions::Both ? QCoreApplication::translate("zuz", "只纵向放大")
                                            : QCoreApplication::translate("zuz", "横向纵向都放大");
}
