#include "magnifier/mouseroute.h"

MouseRoute::Target MouseRoute::press(bool overPicture) {
    if (m_target == Target::None) m_target = under(overPicture);
    return m_target;
}

MouseRoute::Target MouseRoute::doubleClick(bool overPicture) {
    m_target = under(overPicture);
    return m_target;
}

MouseRoute::Target MouseRoute::release(bool lastButton) {
    const Target target = m_target;
    if (lastButton) m_target = Target::None;
    return target;
}

// A move over the background with no press is nobody's.
MouseRoute::Move MouseRoute::move(bool buttonsDown, bool overPicture) {
    Move move;
    if (!buttonsDown && m_target != Target::None) {
        move.missedRelease = m_target;
        m_target = Target::None;
    }
    move.to = m_target != Target::None ? m_target : overPicture ? Target::Picture : Target::None;
    return move;
}

MouseRoute::Target MouseRoute::pointerOver(bool overPicture) const {
    return m_target != Target::None ? m_target : under(overPicture);
}
