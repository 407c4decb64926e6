#pragma once

class QWidget;

// Puts a window into the always-on-top band or takes it out, and shows it
// without taking the focus from the window that has it.
void SetTopmost(QWidget* window, bool flag);
