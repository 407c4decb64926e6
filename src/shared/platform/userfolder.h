#pragma once

#include <QString>

// The user's own settings folder, where a program writes what it cannot
// write beside itself: the XDG configuration folder, %APPDATA% on
// Windows. Empty when there is none.
QString userSettingsFolder();
