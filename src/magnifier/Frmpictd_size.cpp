// Custom size: four buttons that change the picture's width or height.
#include "Frmpictd.h"

void Frmpictd::mnshougong_Click() {}
void Frmpictd::Command1_Click() {}
void Frmpictd::Command2_Click() {}
void Frmpictd::Command3_Click() {}
void Frmpictd::Command4_Click() {}
