#pragma once

// Which of the view's two mouse targets, the picture or the background
// around it, gets the mouse. A press decides it until every button is up,
// so that a drag which leaves the picture stays with it.
class MouseRoute {
  public:
    enum class Target { None, Picture, Background };
    struct Move {
        // Owed a release that a popup menu took with it.
        Target missedRelease = Target::None;
        Target to = Target::None;
    };

    Target press(bool overPicture);
    // The second press of a double-click comes as the double-click alone.
    Target doubleClick(bool overPicture);
    // The target of a release; the route ends with the last button.
    Target release(bool lastButton);
    Move move(bool buttonsDown, bool overPicture);
    // Where the pointer's shape comes from.
    Target pointerOver(bool overPicture) const;

  private:
    static Target under(bool overPicture) {
        return overPicture ? Target::Picture : Target::Background;
    }
    Target m_target = Target::None;
};
