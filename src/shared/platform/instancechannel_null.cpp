// Platforms without a channel of their own: a later start only learns that
// an instance runs.
#include "platform/instancechannel.h"

#include <QDir>
#include <QStandardPaths>

namespace instancechannel {

QString privateFolder(QString* why) {
    // The user's own application-data folder is out of other accounts'
    // reach here.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    if (!QDir().mkpath(dir)) {
        if (why) *why = dir;
        return {};
    }
    return dir;
}

std::unique_ptr<QObject> listen(const QString&, Handler) {
    return nullptr;
}

QByteArray send(const QString&, const QString&) {
    return {};
}

} // namespace instancechannel
