#pragma once

#include <cstdint>

// Dragging the enlarged picture: where a drag puts it along one axis, in
// whole twips. The picture follows the pointer until its near edge meets
// the window's near edge or its far edge the window's far edge; a picture
// whose near edge already lies inside the window does not move at all.
namespace panning {

std::int32_t dragged(std::int32_t pos, std::int32_t size, std::int32_t window, std::int32_t delta);

} // namespace panning
