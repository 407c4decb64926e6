#include "startup.h"

#include "Frmpictd.h"
#include "programstart.h"
#include "singleinstance.h"

#include <QApplication>

namespace startup {

QStringList secondInstancePieces() {
    return {
        QStringLiteral("   zuz已经在运行中！按“Ctrl+Z”试试！操作要领如下："),
        QStringLiteral("按下“左键”拖动屏幕！按“右键”选择菜单！"),
        QStringLiteral("按“Ctrl+Z”键再次放大！"),
        QStringLiteral("或在屏幕右下角“岚”字图标上按右键！"),
        QStringLiteral("您现在可试一下！"),
    };
}

QString secondInstanceText() {
    return programstart::joinPieces(secondInstancePieces());
}

QString secondInstanceTitle() {
    return QStringLiteral("zuz 提示");
}

int runMagnifier(int argc, char** argv) {
    QApplication app(argc, argv);
    programstart::prepare(QStringLiteral("zuz"));
    SingleInstance instance(QStringLiteral("zuz"));
    if (!programstart::claimOnlyInstance(instance, secondInstanceTitle(), secondInstanceText()))
        return 0;

    SystemServices system;
    Frmpictd form(system.services());
    form.Form_Load();
    form.show();
    form.raise();
    form.activateWindow();
    return app.exec();
}

} // namespace startup
