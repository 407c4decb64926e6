// Where programs have no window state to start in, a detached process.
#include "programstarter.h"

#include <QFileInfo>
#include <QProcess>

void DetachedProgramStarter::start(const QString& fileName, Show /*show*/) {
    // No shell and no arguments: the path is taken literally.
    const QString path = programPath(fileName);
    if (!QFileInfo(path).isExecutable()) return;
    QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}
