#include "magnifier/wayback.h"

#include "shared/platform/services.h"

#include <QCoreApplication>

WaysBack WaysBack::of(const Services& services) {
    const Icon icon = !services.tray                   ? Icon::Unknown
                      : services.tray->hostAvailable() ? Icon::Shown
                                                       : Icon::NoHost;
    return {icon, services.hotkey ? services.hotkey->reach() : HotkeyReach::None};
}

QString WaysBack::strandedText() {
    return QCoreApplication::translate("zuz", "没有找到通知区域，Ctrl+Z 也已被别的程序占用，"
                                              "zuz 无法在后台等待，现在退出。\n\n"
                                              "要再次放大，请重新启动 zuz。");
}
