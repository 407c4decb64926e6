#include "region/regiondrag.h"

#include "shared/units.h"

#include <cmath>
#include <cstdlib>

EdgeSnap::Move EdgeSnap::drag(double start, double span, double screen, double pull, double reach) {
    if (m_hook == Hook::Hooked) {
        if (std::abs(pull) <= reach) return {start, Step::Held};
        m_hook = Hook::Free;
        return {start + pull, Step::Released};
    }
    const double roomToFarEdge = screen - start - span;
    if (0 < start && start < reach) {
        m_hook = Hook::Hooked;
        return {0, Step::Snapped};
    }
    if (0 < roomToFarEdge && roomToFarEdge < reach) {
        m_hook = Hook::Hooked;
        return {screen - span, Step::Snapped};
    }
    return {start + pull, Step::Followed};
}

std::int32_t panStart(std::int32_t start, double span, double client, std::int32_t pull) {
    if (start >= 1) return start;
    const std::int32_t overhang = std::abs(start);
    const std::int32_t room = units::cint(span - overhang - client);
    // The far edge first, then the near one: a picture whose far edge is
    // already inside the client area must not be pushed past its near edge.
    if (pull < 0 && room < std::abs(pull)) pull = -room;
    if (pull >= 0 && overhang < pull) pull = overhang;
    return start + pull;
}
