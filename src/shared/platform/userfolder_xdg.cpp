#include "shared/platform/userfolder.h"

#include <QStandardPaths>

QString userSettingsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
