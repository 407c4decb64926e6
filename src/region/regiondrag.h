#pragma once

#include <cstdint>

// Dragging a region window that fits the screen, along one axis: it clings
// to a screen edge once it comes nearer than the snap distance from inside
// the screen, and lets go once the pointer is farther than that from the
// point of the picture it grabbed. A window pushed past an edge is left
// there. All lengths are in twips.
class EdgeSnap {
  public:
    enum class Hook { Free, Hooked };
    enum class Step { Followed, Held, Snapped, Released };
    struct Move {
        double start;
        Step step;
    };

    // `start` and `span` are the window's, `screen` is the screen's span,
    // `pull` how far the pointer is from the grabbed point, `reach` the
    // snap distance.
    Move drag(double start, double span, double screen, double pull, double reach);
    Hook hook() const { return m_hook; }
    void setHook(Hook hook) { m_hook = hook; }
    // Snapping or letting go is all one move event does: the other axis
    // waits for the next event.
    static bool endsTheMove(Step step) { return step == Step::Snapped || step == Step::Released; }

  private:
    Hook m_hook = Hook::Free;
};

// Panning a picture larger than the window, along one axis, in whole
// twips: the new near edge of the picture for a pointer `pull` away from
// where it pressed. The picture follows until its edge reaches the
// matching edge of the client area, so no background shows where it
// overhangs; where it is smaller than the window it stays.
std::int32_t panStart(std::int32_t start, double span, double client, std::int32_t pull);
