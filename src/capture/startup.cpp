#include "startup.h"

#include "Derudovudi.h"
#include "notifier.h"
#include "picturefile.h"
#include "platform/screengrabber.h"
#include "platform/screeninfo.h"
#include "programstart.h"
#include "regionclipboard.h"
#include "singleinstance.h"
#include "translation.h"

#include <QApplication>

namespace startup {

int runCapture(int argc, char** argv) {
    QApplication app(argc, argv);
    translation::install(app);
    programstart::prepare(QStringLiteral("Derudovudi"));
    QApplication::setWindowIcon(Derudovudi::ProgramIcon());
    // A start while a pick is on the screen does nothing; one that comes
    // while an earlier capture only keeps the clipboard picks anew. A lock
    // that cannot be made at all keeps no one from a capture.
    SingleInstance instance(QStringLiteral("Derudovudi"));
    if (instance.tryAcquire() == InstanceClaim::Running) return 0;

    // Only what a pick needs: no hotkey, no tray.
    const std::unique_ptr<ScreenGrabber> grabber = makeSystemScreenGrabber();
    DesktopScreenInfo screen;
    Services services;
    services.grabber = grabber.get();
    services.screen = &screen;
    SystemClipboard clipboard;
    const std::unique_ptr<DesktopNotifier> notifier = makeDesktopNotifier();
    Derudovudi capture(services, clipboard, *notifier, picturefile::picturesFolder());
    QObject::connect(&capture, &Derudovudi::pickEnded, &capture,
                     [&instance] { instance.release(); });
    QObject::connect(&capture, &Derudovudi::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    capture.Form_Load();
    if (capture.phase() == Derudovudi::Phase::Ended) return 0;
    return app.exec();
}

} // namespace startup
