#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// Pictures drawn for the editor: its toolbar images and tool cursors.
namespace editorartwork {

// 16 x 16: 0 dashed rectangle, 1 lasso, 2 arrow with a four-way cross,
// 3 eyedropper, 4 curved arrow; the drawing tools 5 pen, 6 highlighter,
// 7 line, 8 arrow, 9 box, 10 ellipse; 11 curved arrow forward (redo);
// 12 step number, 13 pixelate, 14 text; 15 the select tool.
QIcon toolbarImage(int index);

// 32 x 32 with their hot spots: 0 rectangle tool, 1 free-hand tool, 2 move
// tool, 3 colour-pick tool, 4 pointer over a selection.
QCursor toolCursor(int index);
QPoint toolCursorHotSpot(int index);

// A transparent square to draw a picture on.
QPixmap canvas(int size);

} // namespace editorartwork
