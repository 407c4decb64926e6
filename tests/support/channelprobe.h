#pragma once

#include "shared/platform/instancechannel.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A channel in a folder of its own, and a listener there that notes each
// request it hears and answers it with `reply`.
struct ChannelProbe {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.channel"));
    QStringList heard;

    std::unique_ptr<QObject> listen(const QByteArray& reply = "ok") {
        return instancechannel::listen(path, [this, reply](const QString& request) {
            heard << request;
            return reply;
        });
    }
};
