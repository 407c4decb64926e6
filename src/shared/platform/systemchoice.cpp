#include "shared/platform/systemchoice.h"

#include <QDebug>

NamedFamily namedServiceFamily(const QByteArray& services) {
    const QByteArray name = services.trimmed().toLower();
    if (name.isEmpty()) return NamedFamily::Unnamed;
    if (name == "x11") return NamedFamily::X11;
    if (name == "portal") return NamedFamily::Portal;
    if (name == "toolkit") return NamedFamily::Toolkit;
    qWarning().noquote() << "ZUZ_SERVICES:" << QString::fromLocal8Bit(name)
                         << "is none of x11, portal, toolkit; ignored";
    return NamedFamily::Unnamed;
}
