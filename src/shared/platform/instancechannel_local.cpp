// The channel over a local socket.
#include "platform/instancechannel.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace instancechannel {

std::unique_ptr<QObject> listen(const QString& path,
                                std::function<void(const QString& request)> onRequest) {
    auto server = std::make_unique<QLocalServer>();
    // Only this user may ask for anything, also where the folder is shared.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a killed instance is the new instance's to replace:
    // only the holder of the program's lock listens.
    QLocalServer::removeServer(path);
    if (!server->listen(path)) return nullptr;
    QLocalServer* s = server.get();
    QObject::connect(s, &QLocalServer::newConnection, s, [s, onRequest] {
        while (QLocalSocket* peer = s->nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, onRequest] {
                while (peer->canReadLine()) {
                    const QString request = QString::fromUtf8(peer->readLine(256)).trimmed();
                    peer->write("ok\n");
                    if (onRequest) onRequest(request);
                }
            });
        }
    });
    return server;
}

bool send(const QString& path, const QString& request) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(2000)) return false;
    socket.write(request.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(2000)) return false;
    // The instance answers once it has the request in hand.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(2000)) return false;
    return socket.readLine().trimmed() == "ok";
}

} // namespace instancechannel
