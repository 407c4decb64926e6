// The lock's folder where the system keeps each user's own folders out of
// other accounts' reach: the toolkit's runtime location.
#include "platform/instancechannel.h"

#include <QDir>
#include <QStandardPaths>

namespace instancechannel {

QString privateFolder(QString* why) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    if (!QDir().mkpath(dir)) {
        if (why) *why = dir;
        return {};
    }
    return dir;
}

QByteArray session(const QString&) {
    // One instance per user where the system names no session.
    return {};
}

} // namespace instancechannel
