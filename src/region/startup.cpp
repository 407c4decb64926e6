#include "startup.h"

#include "frmMainwn.h"
#include "platform/services.h"
#include "programstart.h"
#include "regionclipboard.h"
#include "singleinstance.h"

#include <QApplication>

namespace startup {

QStringList regionSecondInstancePieces() {
    return {
        QStringLiteral("   zuz已经在运行中！按“Ctrl+Z”试试！操作要领如下："),
        QStringLiteral("按下“左键”拖动屏幕！按“右键”选择菜单！"),
        QStringLiteral("按“Ctrl+Z”键再次放大！"),
        QStringLiteral("或在屏幕右下角“岚”字图标上按右键！"),
        QStringLiteral("您现在可试一下！"),
    };
}

QString regionSecondInstanceText() {
    return programstart::joinPieces(regionSecondInstancePieces());
}

QString regionSecondInstanceTitle() {
    return QStringLiteral("Zonara");
}

int runRegion(int argc, char** argv) {
    QApplication app(argc, argv);
    programstart::prepare(QStringLiteral("Zonara"));
    SingleInstance instance(QStringLiteral("Zonara"));
    if (!programstart::claimOnlyInstance(instance, regionSecondInstanceTitle(),
                                         regionSecondInstanceText()))
        return 0;

    SystemServices system;
    SystemClipboard clipboard;
    frmMainwn form(system.services(), clipboard);
    form.Form_Load();
    form.show();
    return app.exec();
}

} // namespace startup
