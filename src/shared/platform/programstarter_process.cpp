// Where programs have no window state to start in, a detached process.
#include "shared/platform/programstarter.h"

#include <QFileInfo>
#include <QProcess>

void DetachedProgramStarter::start(const QString& fileName, Show /*show*/) {
    startInBackground(fileName, {});
}

void DetachedProgramStarter::startInBackground(const QString& fileName,
                                               const QStringList& arguments) {
    // No shell: the path and the arguments are taken literally.
    const QString path = programPath(fileName);
    if (!QFileInfo(path).isExecutable()) return;
    QProcess::startDetached(path, arguments, QFileInfo(path).absolutePath());
}
