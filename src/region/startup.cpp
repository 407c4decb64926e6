#include "startup.h"

#include "frmMainwn.h"
#include "platform/services.h"
#include "capturecompanion.h"
#include "programstart.h"
#include "regionclipboard.h"
#include "singleinstance.h"
#include "translation.h"

#include <QApplication>
#include <QTimer>

namespace {
// Starts a pick in the running instance, as a click on its button does.
const QString kPickRequest = QString::fromLatin1(startrequest::kPick);
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

int runRegion(int argc, char** argv, programstart::Handover handover) {
    // Handed over before anything of this start's own is built.
    if (handover == programstart::Handover::Pending &&
        programstart::forwardToRunning(QStringLiteral("Zonara"),
                                       startrequest::forZonara(argc, argv)))
        programstart::endForwardedStart();

    QApplication app(argc, argv);
    translation::install(app);
    programstart::prepare(QStringLiteral("Zonara"));
    SingleInstance instance(QStringLiteral("Zonara"));
    if (!programstart::claimOnlyInstance(instance, regionSecondInstanceTitle(),
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
    instance.listen([&form](const QString& request) -> QByteArray {
        if (request != kPickRequest) return programstart::kShowHint;
        // The pick runs modally: not inside the channel's own handler.
        QTimer::singleShot(0, &form, &frmMainwn::Comzdy_Click);
        return programstart::kTaken;
    });
    capturecompanion::prepareSoon(*system.services().starter);
    return app.exec();
}

} // namespace startup
