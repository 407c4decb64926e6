#pragma once

#include <QCursor>
#include <QPixmap>

// Pictures of the tip dialog, drawn for this project.
namespace tipartwork {
// The green round button, 38 x 38: raised, or pressed in.
QPixmap buttonPicture(bool pressed);
// A 32 x 32 exclamation icon: a yellow warning triangle with "!".
QPixmap exclamationIcon();
// A 32 x 32 pointing hand; hot spot at the tip of the finger.
QCursor pointingHandCursor();
QPixmap pointingHandPicture();
// 100 x 51: the taskbar's notification area with the region magnifier's
// button beside the clock.
QPixmap notificationAreaPicture();
} // namespace tipartwork
