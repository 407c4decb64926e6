#include "shared/platform/userfolder.h"

#include <QDir>

// The roaming application data folder, which follows the user from
// machine to machine; Qt's generic locations name the local one.
QString userSettingsFolder() {
    const QString appData = qEnvironmentVariable("APPDATA");
    return appData.isEmpty() ? QString() : QDir::fromNativeSeparators(appData);
}
