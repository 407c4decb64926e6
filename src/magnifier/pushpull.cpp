#include "magnifier/pushpull.h"

#include "shared/units.h"

using units::cint;

void PushPull::reset(std::int32_t width, std::int32_t height) {
    direction = Direction::Out;
    Width = width;
    Height = height;
}

void PushPull::start() {
    InsetX = cint(Width / 2.0);
    InsetY = cint(Height / 2.0);
}

std::optional<QRect> PushPull::tick() {
    const std::int32_t W = Width;
    const std::int32_t H = Height;
    std::int32_t x = InsetX;
    std::int32_t y = InsetY;
    if (direction == Direction::In) {
        x = cint(x + W / 100.0);
        y = cint(y + H / 100.0);
        if (!(W / 2.0 > x) || !(H / 2.0 > y)) direction = Direction::Out;
    } else {
        x = cint(x - W / 100.0);
        y = cint(y - H / 100.0);
        if (x < 1 || y < 1) {
            x = 0;
            y = 0;
            direction = Direction::In;
        }
    }
    InsetX = x;
    InsetY = y;
    if (W - 2 * x <= 0 || H - 2 * y <= 0) return std::nullopt;
    return QRect(x, y, W - 2 * x, H - 2 * y);
}
