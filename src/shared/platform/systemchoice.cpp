#include "platform/systemchoice.h"

#include <QByteArray>
#include <QDebug>
#include <QtGlobal>

ServiceFamily forcedServiceFamily() {
    const QByteArray name = qgetenv("ZUZ_SERVICES").trimmed().toLower();
    if (name.isEmpty()) return ServiceFamily::Found;
    if (name == "x11") return ServiceFamily::X11;
    if (name == "portal") return ServiceFamily::Portal;
    if (name == "toolkit") return ServiceFamily::Toolkit;
    qWarning().noquote() << "ZUZ_SERVICES:" << QString::fromLocal8Bit(name)
                         << "is none of x11, portal, toolkit; ignored";
    return ServiceFamily::Found;
}
