#pragma once

class QWidget;

// Puts a window into the always-on-top band or takes it out, and shows it
// without taking the focus from the window that has it.
void SetTopmost(QWidget* window, bool flag);

// The band the window was last put in: Qt's stay-on-top hint
// tells only how a window was first made, since an existing window moves
// between bands without it.
bool IsTopmost(const QWidget* window);
