#pragma once

class QWidget;

// Puts a window into the always-on-top band or takes it out, and shows it
// without taking the focus from the window that has it.
void SetTopmost(QWidget* window, bool flag);

// The band the window was last put in: Qt's stay-on-top hint
// tells only how a window was first made, since an existing window moves
// between bands without it.
bool IsTopmost(const QWidget* window);

// Shown as far as Qt knows, yet not on the screen: minimised by another
// program or hidden by "show desktop".
bool hiddenByDesktop(const QWidget* window);

// Shows a window as a form's Show does, visible and active so that keys
// reach it, also where the desktop hid it while it was shown.
void showForward(QWidget* window);
