#include "programstarter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

QString DetachedProgramStarter::programPath(const QString& fileName) {
    // The build names the executable suffix of the platform ("" or ".exe").
    const QString name = fileName + QStringLiteral(PROGRAM_SUFFIX);
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
}

void DetachedProgramStarter::start(const QString& fileName, Show /*show*/) {
    // No shell and no arguments: the path is taken literally.
    const QString path = programPath(fileName);
    if (!QFileInfo(path).isExecutable()) return;
    QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}
