#include "shared/capturecompanion.h"

#include "shared/programstart.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTimer>

namespace capturecompanion {

namespace {
// Long enough that the program's first view or button is on the screen and
// its start's work done; short enough that few picks come before.
constexpr int kPrepareDelayMs = 3000;

QString showName(ProgramStarter::Show show) {
    return show == ProgramStarter::Show::Minimized ? QStringLiteral("minimized")
                                                   : QStringLiteral("normal");
}

Request thisProcess(Ask ask, ProgramStarter::Show show) {
    return {ask, show, QCoreApplication::applicationPid()};
}
} // namespace

QString format(const Request& request) {
    if (request.ask == Ask::Serve) return QStringLiteral("serve %1").arg(request.client);
    return QStringLiteral("pick %1 %2").arg(showName(request.show)).arg(request.client);
}

std::optional<Request> parse(const QString& text) {
    const QStringList words = text.split(QLatin1Char(' '));
    bool number = false;
    const qint64 client = words.last().toLongLong(&number);
    if (!number || client < 0) return std::nullopt;
    if (words.size() == 2 && words[0] == QLatin1String("serve"))
        return Request{Ask::Serve, ProgramStarter::Show::Normal, client};
    if (words.size() != 3 || words[0] != QLatin1String("pick")) return std::nullopt;
    for (const auto show : {ProgramStarter::Show::Normal, ProgramStarter::Show::Minimized})
        if (words[1] == showName(show)) return Request{Ask::Pick, show, client};
    return std::nullopt;
}

void prepareSoon(ProgramStarter& starter) {
    QTimer::singleShot(kPrepareDelayMs, qApp, [&starter] {
        const QString name = QString::fromLatin1(kProgram);
        if (starter.handOver(name, format(thisProcess(Ask::Serve, {})))) return;
        starter.startInBackground(name, {QString::fromLatin1(kWaitArgument),
                                         QString::number(QCoreApplication::applicationPid())});
    });
}

void pickAfterMenu(ProgramStarter& starter, ProgramStarter::Show show, QObject* context) {
    QGuiApplication::sync();
    // Still well within the time a capture program of its own takes to
    // start.
    constexpr int kOthersRepaintMs = 40;
    QTimer::singleShot(kOthersRepaintMs, context, [&starter, show] { pick(starter, show); });
}

void pick(ProgramStarter& starter, ProgramStarter::Show show) {
    const QString name = QString::fromLatin1(kProgram);
    if (!starter.handOver(name, format(thisProcess(Ask::Pick, show)))) starter.start(name, show);
}

} // namespace capturecompanion
