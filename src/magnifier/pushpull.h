#pragma once

#include <QRect>

#include <cstdint>
#include <optional>

// The push-pull zoom: the part of the screen picture each tick shows, in
// twips, from a tiny centre out to the whole picture and back. The fields
// are wider than 16 bits so that screens beyond 2184 pixels animate too.
class PushPull {
  public:
    enum class Direction { Out, In };

    // A picture of this size, shown whole, not moving.
    void reset(std::int32_t width, std::int32_t height);
    // From the centre outwards.
    void start();
    // The next source rectangle; nothing at the turning point, where it
    // has no extent (rather than a mirrored sliver).
    std::optional<QRect> tick();

    Direction direction = Direction::Out;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t InsetX = 0;
    std::int32_t InsetY = 0;
};
