#pragma once

#include <QPixmap>

// Pictures drawn for this program: button faces and the tray icon frames.
namespace artwork {
QPixmap pencilPicture();
QPixmap undoArrowPicture();
QPixmap magnifierIcon();
QPixmap glyphIcon();
} // namespace artwork
