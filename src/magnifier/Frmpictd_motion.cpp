// Up-down scrolling, the push-pull zoom and the scrolling speed.
#include "Frmpictd.h"

void Frmpictd::mnshangxiagd_Click() {}
void Frmpictd::mnxunhuang_Click() {}
void Frmpictd::mntiulaxg_Click() {}
void Frmpictd::mnkuai_Click() {}
void Frmpictd::mnzhong_Click() {}
void Frmpictd::mnman_Click() {}
void Frmpictd::mnquesheng_Click() {}
void Frmpictd::mnzidingyi_Click() {}
void Frmpictd::Timgund_Timer() {}
void Frmpictd::Timtiula_Timer() {}
void Frmpictd::StartPushPull() {}
void Frmpictd::ResetPushPull() {}
void Frmpictd::StopPushPull() { Timtiula->setEnabled(false); }
