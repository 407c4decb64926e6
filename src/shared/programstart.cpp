#include "programstart.h"

#include "platform/termination.h"
#include "singleinstance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

namespace programstart {

QStringList secondInstancePieces() {
    return {
        QCoreApplication::translate("zuz", "   zuz已经在运行中！按“Ctrl+Z”试试！操作要领如下："),
        QCoreApplication::translate("zuz", "按下“左键”拖动屏幕！按“右键”选择菜单！"),
        QCoreApplication::translate("zuz", "按“Ctrl+Z”键再次放大！"),
        QCoreApplication::translate("zuz", "或在屏幕右下角“岚”字图标上按右键！"),
        QCoreApplication::translate("zuz", "您现在可试一下！"),
    };
}

void prepare(const QString& programName) {
    QApplication::setApplicationName(programName);
    QApplication::setQuitOnLastWindowClosed(false);
    termination::quitOnRequest();
}

QString joinPieces(const QStringList& pieces) {
    // Qt's line break is LF on every platform it draws text on.
    return pieces.join(QStringLiteral("\n\n"));
}

bool claimOnlyInstance(SingleInstance& instance, const QString& title, const QString& text) {
    if (instance.tryAcquire()) return true;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
    return false;
}

bool claimOrForward(SingleInstance& instance, const QString& request, const QString& title,
                    const QString& text) {
    if (instance.tryAcquire()) return true;
    if (QCoreApplication::arguments().contains(request) && instance.sendToRunning(request))
        return false;
    return claimOnlyInstance(instance, title, text);
}

} // namespace programstart
