#include "startup.h"

#include "frmMainwn.h"
#include "platform/services.h"
#include "programstart.h"
#include "regionclipboard.h"
#include "singleinstance.h"
#include "translation.h"

#include <QApplication>
#include <QTimer>

namespace {
// Starts a pick in the running instance, as a click on its button does.
const QString kPickRequest = QStringLiteral("--pick");
} // namespace

namespace startup {

QStringList regionSecondInstancePieces() {
    return programstart::secondInstancePieces();
}

QString regionSecondInstanceText() {
    return programstart::joinPieces(regionSecondInstancePieces());
}

QString regionSecondInstanceTitle() {
    return QStringLiteral("Zonara");
}

int runRegion(int argc, char** argv) {
    QApplication app(argc, argv);
    translation::install(app);
    programstart::prepare(QStringLiteral("Zonara"));
    SingleInstance instance(QStringLiteral("Zonara"));
    if (!programstart::claimOrForward(instance, kPickRequest, regionSecondInstanceTitle(),
                                      regionSecondInstanceText()))
        return 0;

    SystemServices system;
    SystemClipboard clipboard;
    // The button lives on the primary monitor, whichever monitor the picks
    // are made on.
    PrimaryScreenInfo home;
    frmMainwn form(system.services(), home, clipboard);
    form.Form_Load();
    form.show();
    instance.listen([&form](const QString& request) {
        // The pick runs modally: not inside the channel's own handler.
        if (request == kPickRequest) QTimer::singleShot(0, &form, &frmMainwn::Comzdy_Click);
    });
    return app.exec();
}

} // namespace startup
