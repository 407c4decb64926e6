#include "magnifier/panning.h"

#include <cstdlib>

namespace panning {

std::int32_t dragged(std::int32_t pos, std::int32_t size, std::int32_t window, std::int32_t delta) {
    if (pos >= 1) return pos;
    const std::int32_t before = std::abs(pos);
    const std::int32_t after = size - before - window;
    if (delta >= 0 && delta > before)
        delta = before;
    else if (delta < 0 && std::abs(delta) > after)
        delta = -after;
    return pos + delta;
}

} // namespace panning
