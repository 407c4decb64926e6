#pragma once

// A wheel's turns in whole notches, for every window that steps with it:
// high-resolution wheels and touchpads send fractions of a notch, which add
// up here until a notch is complete.
namespace wheelnotches {

// One notch of a classic wheel, in Qt's eighths of a degree.
constexpr int kNotch = 120;

// Adds a wheel delta to what is left over from earlier ones and takes the
// whole notches out of it, so that fine touchpad steps add up. A turn the
// other way drops what was left of the last direction.
inline int takeNotches(int& pending, int delta) {
    if ((pending > 0 && delta < 0) || (pending < 0 && delta > 0)) pending = 0;
    pending += delta;
    const int notches = pending / kNotch;
    pending -= notches * kNotch;
    return notches;
}

// A wheel's turns as they come, in whole notches.
class Notches {
  public:
    // The whole notches `delta` (Qt's eighths of a degree) completes.
    int take(int delta) { return takeNotches(m_pending, delta); }

  private:
    // Short of a notch.
    int m_pending = 0;
};

} // namespace wheelnotches
