#pragma once

#include <QCursor>

#include <functional>

// A cursor drawn by the program, made once for the program's life. The
// window system keeps a cursor of its own for every new picture a cursor
// is made from, so a window that drew its cursors afresh each time it
// opened would leave a few of them behind with every opening.
const QCursor& programCursor(const char* name, const std::function<QCursor()>& make);
