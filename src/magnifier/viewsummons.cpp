#include "magnifier/viewsummons.h"

#include <QCoreApplication>
#include <QIcon>

QString ViewSummons::TrayTip() {
    return QCoreApplication::translate("zuz", "在此“岚”字图标上按右键，放大本屏！");
}

void ViewSummons::addIcon() {
    if (m_services.tray) m_services.tray->add(QIcon(m_frames[0]), TrayTip());
}

void ViewSummons::nextFrame() {
    if (m_services.tray) m_services.tray->modifyIcon(QIcon(m_frames[TrayFrame]));
    TrayFrame = (TrayFrame + 1) % 2;
}

void ViewSummons::removeIcon() {
    if (m_services.tray) m_services.tray->remove();
}

void ViewSummons::claimKey() {
    if (m_services.hotkey) m_services.hotkey->claim(HotkeyKey, HotkeyModifiers);
}
