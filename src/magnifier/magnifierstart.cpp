#include "magnifier/magnifierstart.h"

#include "magnifier/Frmpictd.h"
#include "shared/platform/services.h"
#include "shared/programstart.h"
#include "shared/singleinstance.h"

#include <QApplication>
#include <QCoreApplication>

namespace {
// Asks the running instance for a view, as the hotkey does: for desktops
// where no program can claim a global key, the user binds `zuz --view` to
// one in the desktop's keyboard settings.
const QString kViewRequest = QString::fromLatin1(startrequest::kView);
// What a start without arguments hands over: where the user holds no
// other way to the next view, the running instance brings one.
const QString kStartRequest = QString::fromLatin1(startrequest::kStart);
} // namespace

namespace magnifierstart {

namespace {
int openMagnifier(SystemServices& system, SingleInstance& instance) {
    Frmpictd form(system.services());
    form.Form_Load();
    form.showStartView();
    instance.listen([&form](const QString& request) { return answerRequest(form, request); });
    return programstart::exec();
}
} // namespace

QStringList secondInstancePieces() {
    return programstart::secondInstancePieces();
}

QString secondInstanceText() {
    return programstart::joinPieces(secondInstancePieces());
}

QString secondInstanceTitle() {
    return QCoreApplication::translate("zuz", "zuz 提示");
}

QString viewRequest() {
    return kViewRequest;
}

QString startRequest() {
    return kStartRequest;
}

QByteArray answerRequest(Frmpictd& form, const QString& request) {
    // A second start shows the hint box, whose advice (Ctrl+Z, the icon)
    // the user can follow; without either it brings the view itself, or
    // the program could not be reached at all.
    if (request == kViewRequest || (request == kStartRequest && !form.HasWayBack())) {
        form.RequestView();
        return programstart::kTaken;
    }
    return programstart::kShowHint;
}

int runMagnifier(int argc, char** argv, programstart::Handover handover) {
    const programstart::Program zuz{QStringLiteral("zuz"), startrequest::forZuz(argc, argv),
                                    &secondInstanceTitle, &secondInstanceText};
    return programstart::run(zuz, argc, argv, handover, &openMagnifier);
}

} // namespace magnifierstart
