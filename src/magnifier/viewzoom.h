#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

// The view's zoom: what the menu's "1.5 times / 2 times" item and its
// "vertical only" item do next, and the picture size each click gives.
// Sizes are in twips, from the screen's size.
class ViewZoom {
  public:
    // The size the enlarge item set last; its caption offers the other.
    enum class Enlarge { Twice, OneAndHalf };
    enum class Directions { Both, VerticalOnly };
    // Where the window is fitted to the picture: with the size before the
    // step, after it, or not at all.
    enum class Fit { Before, After, None };
    struct Step {
        Fit fit = Fit::None;
        // The picture's new left edge, where the step moves it.
        std::optional<double> left;
        double width = 0;
        double height = 0;
    };

    Step restoreDefault(const QSizeF& screen);
    Step toggleEnlarge(const QSizeF& screen);
    Step toggleVertical(const QSizeF& screen);
    // The picture's size in the current mode, which the mode's menu item
    // gave it before the wheel or the keys changed it.
    QSizeF modeSize(const QSizeF& screen) const;

    Enlarge enlarge() const { return m_enlarge; }
    Directions directions() const { return m_directions; }
    QString enlargeCaption() const;
    QString directionsCaption() const;

  private:
    Enlarge m_enlarge = Enlarge::Twice;
    Directions m_directions = Directions::Both;
};
