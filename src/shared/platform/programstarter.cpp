#include "shared/platform/programstarter.h"

#include "shared/programstart.h"
#include "shared/singleinstance.h"

#include <QCoreApplication>
#include <QDir>

QString DetachedProgramStarter::programPath(const QString& fileName) {
    // The build names the executable suffix of the platform ("" or ".exe").
    const QString name = fileName + QStringLiteral(PROGRAM_SUFFIX);
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
}

bool DetachedProgramStarter::handOver(const QString& fileName, const QString& request) {
    // A program this one starts could bring its window to the front; the
    // instance that takes the request over may too.
    return SingleInstance(fileName).sendToRunning(request, instancechannel::Lend::Foreground) ==
           programstart::kTaken;
}
