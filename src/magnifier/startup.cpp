#include "startup.h"

#include "Frmpictd.h"
#include "programstart.h"
#include "singleinstance.h"

#include <QApplication>

namespace startup {

QStringList secondInstancePieces() {
    return programstart::secondInstancePieces();
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
