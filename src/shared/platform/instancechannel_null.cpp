// Platforms without a channel of their own: a later start only learns that
// an instance runs.
#include "platform/instancechannel.h"

namespace instancechannel {

std::unique_ptr<QObject> listen(const QString&, Handler) {
    return nullptr;
}

QByteArray send(const QString&, const QString&, Lend) {
    return {};
}

} // namespace instancechannel
