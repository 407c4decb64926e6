#include "capture/capturestart.h"

#include "capture/Derudovudi.h"
#include "capture/clientwatch.h"
#include "capture/notifier.h"
#include "capture/picturefile.h"
#include "capture/resident.h"
#include "region/picker/regionclipboard.h"
#include "shared/capturecompanion.h"
#include "shared/platform/screengrabber.h"
#include "shared/platform/screeninfo.h"
#include "shared/platform/termination.h"
#include "shared/programstart.h"
#include "shared/singleinstance.h"
#include "shared/translation.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <optional>

namespace capturestart {

namespace {
using capturecompanion::Ask;

// How long a start waits for an instance that holds the lock to listen:
// longer than a waiting start takes from the lock to its channel.
constexpr int kListenTries = 20;
constexpr unsigned long kListenPauseMs = 100;

// The program that a waiting start serves (the number after `--wait`);
// none for a start of its own.
std::optional<qint64> servedProgram(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], capturecompanion::kWaitArgument) != 0) continue;
        const qint64 pid = QByteArray(argv[i + 1]).toLongLong();
        if (pid > 0) return pid;
    }
    return std::nullopt;
}

// What this start asks of an instance that is there already: to serve one
// more program, or to pick now in its place.
QString requestOf(const std::optional<qint64>& served) {
    return capturecompanion::format(
        served ? capturecompanion::Request{Ask::Serve, ProgramStarter::Show::Normal, *served}
               : capturecompanion::Request{Ask::Pick, ProgramStarter::Show::Normal, 0});
}

// What a pick needs: no hotkey, no tray.
struct PickParts {
    std::unique_ptr<ScreenGrabber> grabber = makeSystemScreenGrabber();
    DesktopScreenInfo screen;
    SystemClipboard clipboard;
    std::unique_ptr<DesktopNotifier> notifier = makeDesktopNotifier();
    Services services() {
        Services s;
        s.grabber = grabber.get();
        s.screen = &screen;
        return s;
    }
};

int pickOnce(QApplication& app, SingleInstance& instance, PickParts& parts) {
    Derudovudi capture(parts.services(), parts.clipboard, *parts.notifier,
                       picturefile::picturesFolder());
    // Once the pick is over, a later start picks anew, even while this
    // process still keeps the clipboard's picture.
    QObject::connect(&capture, &Derudovudi::pickEnded, &capture,
                     [&instance] { instance.release(); });
    QObject::connect(&capture, &Derudovudi::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    capture.Form_Load();
    if (capture.phase() == Derudovudi::Phase::Ended) return 0;
    return programstart::exec();
}

int waitForPicks(QApplication& app, SingleInstance& instance, PickParts& parts,
                 ClientProcess client) {
    CaptureResident resident(parts.services(), parts.clipboard, *parts.notifier,
                             picturefile::picturesFolder());
    // A start from now on picks on its own.
    QObject::connect(&resident, &CaptureResident::finished, &app, [&app, &instance] {
        instance.release();
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    // Where the system offers no channel, nothing could reach it.
    if (!instance.listen([&resident](const QString& request) { return resident.answer(request); }))
        return 0;
    resident.serve(std::move(client));
    // The program that asked for it may have ended already.
    resident.EndIfUnneeded();
    return programstart::exec();
}
} // namespace

int runCapture(int argc, char** argv) {
    const QString name = QString::fromLatin1(capturecompanion::kProgram);
    const std::optional<qint64> served = servedProgram(argc, argv);
    // Held from here on: a program that ends while the rest starts up
    // leaves its id to the system, which may give it to any other.
    ClientProcess client = served ? ClientProcess::open(*served) : ClientProcess();
    // An instance waiting already takes this start's part before anything
    // of this start's own is built.
    if (SingleInstance(name).sendToRunning(requestOf(served)) == programstart::kTaken)
        programstart::endForwardedStart();

    QApplication app(argc, argv);
    translation::install(app);
    programstart::prepare(name);
    QApplication::setWindowIcon(Derudovudi::ProgramIcon());
    // A start while a pick is on the screen does nothing. A lock that
    // cannot be made at all keeps no one from a capture.
    SingleInstance instance(name);
    // One that has only just begun to wait takes the request once it
    // listens; one that cannot listen ends and leaves the lock.
    InstanceClaim claim = instance.tryAcquire();
    for (int tries = 0; claim == InstanceClaim::Running && tries < kListenTries; ++tries) {
        if (termination::requested() || !instance.sendToRunning(requestOf(served)).isEmpty())
            return 0;
        QThread::msleep(kListenPauseMs);
        claim = instance.tryAcquire();
    }
    if (claim == InstanceClaim::Running) return 0;
    PickParts parts;
    return served ? waitForPicks(app, instance, parts, std::move(client))
                  : pickOnce(app, instance, parts);
}

} // namespace capturestart
