// The tray icon, the global hotkey and the view they bring up.
#include "Frmpictd.h"

void Frmpictd::AddTrayIcon() {}
void Frmpictd::InstallHotkey() {}
void Frmpictd::Timer1_Timer() {}
void Frmpictd::TimKey_Timer() { TimKey->setEnabled(false); }
