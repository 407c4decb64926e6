#include "programstarter.h"

#include <QCoreApplication>
#include <QDir>

QString DetachedProgramStarter::programPath(const QString& fileName) {
    // The build names the executable suffix of the platform ("" or ".exe").
    const QString name = fileName + QStringLiteral(PROGRAM_SUFFIX);
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
}
