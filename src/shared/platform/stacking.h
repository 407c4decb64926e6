#pragma once

class QWidget;

// Puts a shown window at the top of its band: the always-on-top band when
// `topmost`, the ordinary one otherwise, without activating it.
void restack(QWidget* window, bool topmost);

// Puts a window that is shown back on the screen where the desktop has hidden
// it (minimised, or every window hidden to show the desktop); Qt's
// show() and raise() do nothing for a window it counts as shown.
void bringBack(QWidget* window);
