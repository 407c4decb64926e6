// Custom size: four buttons that change the picture's width or height.
#include "Frmpictd.h"

#include <QAction>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr double kStep = 200;
// However often "宽-" or "高-" is clicked, the picture keeps one step.
constexpr double kSmallest = 200;

const QString kCustomOff = QStringLiteral("自定义zuz");
const QString kCustomOn = QStringLiteral("结束自定义zuz");
} // namespace

void Frmpictd::mnshougong_Click() {
    const QString caption = mnshougong->text();
    if (caption == kCustomOff) {
        mnshougong->setText(kCustomOn);
        Command2->show();
        Command1->show();
        Command3->show();
        Command4->show();
    } else if (caption == kCustomOn) {
        mnshougong->setText(kCustomOff);
        Command2->hide();
        Command1->hide();
        Command3->hide();
        Command4->hide();
    }
}

void Frmpictd::Command1_Click() {
    Imadpic.Width = std::max(kSmallest, Imadpic.Width - kStep);
    applyImageGeometry();
}

void Frmpictd::Command2_Click() {
    Imadpic.Height = std::max(kSmallest, Imadpic.Height - kStep);
    applyImageGeometry();
}

void Frmpictd::Command3_Click() {
    Imadpic.Width = Imadpic.Width + kStep;
    applyImageGeometry();
}

void Frmpictd::Command4_Click() {
    Imadpic.Height = Imadpic.Height + kStep;
    applyImageGeometry();
}
