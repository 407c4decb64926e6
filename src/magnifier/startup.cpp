#include "startup.h"

#include "Frmpictd.h"
#include "programstart.h"
#include "singleinstance.h"
#include "translation.h"

#include <QApplication>
#include <QCoreApplication>

namespace {
// Asks the running instance for a view, as the hotkey does: for desktops
// where no program can claim a global key, the user binds `zuz --view` to
// one in the desktop's keyboard settings.
const QString kViewRequest = QStringLiteral("--view");
} // namespace

namespace startup {

QStringList secondInstancePieces() {
    return programstart::secondInstancePieces();
}

QString secondInstanceText() {
    return programstart::joinPieces(secondInstancePieces());
}

QString secondInstanceTitle() {
    return QCoreApplication::translate("zuz", "zuz 提示");
}

int runMagnifier(int argc, char** argv) {
    QApplication app(argc, argv);
    translation::install(app);
    programstart::prepare(QStringLiteral("zuz"));
    SingleInstance instance(QStringLiteral("zuz"));
    if (!programstart::claimOrForward(instance, kViewRequest, secondInstanceTitle(),
                                      secondInstanceText()))
        return 0;

    SystemServices system;
    Frmpictd form(system.services());
    form.Form_Load();
    if (form.Imadpic.picture.isNull()) {
        // Without a picture of the screen the program waits hidden, as
        // between views (the user has been told why); hidden before the
        // event loop runs, the view never reaches the screen.
        form.hide();
    } else {
        form.show();
        form.raise();
        form.activateWindow();
    }
    instance.listen([&form](const QString& request) {
        if (request == kViewRequest) form.TimKey->setEnabled(true);
    });
    return app.exec();
}

} // namespace startup
