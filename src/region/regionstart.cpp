#include "region/regionstart.h"

#include "region/frmMainwn.h"
#include "region/picker/regionclipboard.h"
#include "shared/platform/services.h"
#include "shared/programstart.h"
#include "shared/singleinstance.h"

#include <QApplication>
#include <QTimer>

namespace {
// Starts a pick in the running instance, as a click on its button does.
const QString kPickRequest = QString::fromLatin1(startrequest::kPick);

int openRegion(SystemServices& system, SingleInstance& instance) {
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
    return programstart::exec();
}
} // namespace

namespace regionstart {

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
    const programstart::Program zonara{QStringLiteral("Zonara"),
                                       startrequest::forZonara(argc, argv),
                                       &regionSecondInstanceTitle, &regionSecondInstanceText};
    return programstart::run(zonara, argc, argv, handover, &openRegion);
}

} // namespace regionstart
