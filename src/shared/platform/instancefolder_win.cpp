// The lock's folder on Windows: one of the programs' own in the user's
// local application data, which the profile's security keeps to the user
// and which stays on this machine, rather than the profile folder itself,
// which the user sees and which may roam. Names go through the system's
// wide-character calls only: a profile folder may bear any name, not only
// one of the ANSI code page.
#include "shared/platform/instancechannel.h"

#include <QDir>
#include <QStandardPaths>

#include <windows.h>

namespace instancechannel {

QString privateFolder(QString* why) {
    QString base = qEnvironmentVariable("LOCALAPPDATA");
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        if (why) *why = QStringLiteral("%LOCALAPPDATA%");
        return {};
    }
    const QString dir =
        QDir(QDir::fromNativeSeparators(base)).filePath(QStringLiteral("zuz-zonara"));
    if (!QDir().mkpath(dir)) {
        if (why) *why = dir;
        return {};
    }
    return dir;
}

QByteArray session(const QString&) {
    // Each logon session (the console, a remote desktop) has its own
    // desktop: a request of one must not show on another.
    DWORD id = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &id)) return {};
    return "windows-session:" + QByteArray::number(quint64(id));
}

} // namespace instancechannel
