#pragma once

#include "shared/capture.h"
#include "shared/units.h"

#include <QColor>

class PictureBox;
class PushPull;
class QWidget;

// Where the push-pull effect plays: the screen picture is held at its own
// size in a hidden box, and a box centred in the view shows, stretched, the
// part of it the animation has reached.
class PushPullStage {
  public:
    // Makes its two boxes on `view`, hidden: P1 shows, P2 holds the picture.
    PushPullStage(QWidget& view, const QColor& back, PushPull& animation);
    PictureBox* shown() const { return &m_shown; }
    PictureBox* source() const { return &m_source; }

    void load(const Picture& picture, const units::Screen& s);
    // The whole picture, still, in a shown box of its size.
    void reset(const units::Screen& s);
    // The shown box in the middle of a view `window` twips large.
    void centre(const units::Screen& s, const QSizeF& window);
    void tick(const units::Screen& s);
    void setVisible(bool visible);
    // Holds nothing of the last view.
    void clear();

  private:
    PictureBox& m_shown;
    PictureBox& m_source;
    PushPull& m_animation;
};
