// The channel over a Unix-domain socket in the user's private folder.
//
// The server is a socket of its own rather than QLocalServer, which closes
// and deletes its socket at the first failed accept (a flood of peers that
// exhausts the descriptors): here a failed accept only pauses accepting.
#include "shared/platform/instancechannel.h"

#include "shared/platform/localchannel_posix.h"

#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace instancechannel {

namespace {

class Server : public QObject {
  public:
    Server(int fd, QByteArray path, ino_t inode, Handler handler)
        : m_fd(fd), m_path(std::move(path)), m_inode(inode), m_handler(std::move(handler)),
          m_notifier(fd, QSocketNotifier::Read, this) {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Server::acceptPeers);
        m_resume.setSingleShot(true);
        m_resume.setInterval(100);
        connect(&m_resume, &QTimer::timeout, this, [this] { m_notifier.setEnabled(true); });
    }

    ~Server() override {
        ::close(m_fd);
        // Only our own socket: a later instance may have replaced it.
        struct stat st {};
        if (::lstat(m_path.constData(), &st) == 0 && st.st_ino == m_inode)
            ::unlink(m_path.constData());
    }

  private:
    void acceptPeers() {
        for (;;) {
            const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (peer < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK) {
                    // Out of descriptors or memory: try again a little later
                    // rather than spin on a socket that stays readable.
                    m_notifier.setEnabled(false);
                    m_resume.start();
                }
                return;
            }
            if (m_peers >= kMaxPeers) reapClosedPeers();
            if (m_peers >= kMaxPeers) {
                ::close(peer);
                continue;
            }
            serve(peer);
        }
    }

    void serve(int fd) {
        auto* peer = new QLocalSocket(this);
        if (!peer->setSocketDescriptor(fd)) {
            ::close(fd);
            delete peer;
            return;
        }
        ++m_peers;
        connect(peer, &QObject::destroyed, this, [this] { --m_peers; });
        peer->setReadBufferSize(kMaxRequest);
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { read(peer); });
        // A peer that says nothing, or too slowly, gives its place up.
        QTimer::singleShot(kDeadlineMs, peer, [peer] { drop(peer); });
    }

    // Peers that hung up before the event loop noticed still hold their
    // places: a start that comes right after a flood would be turned away.
    void reapClosedPeers() {
        for (QLocalSocket* peer : findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly)) {
            char c;
            const ssize_t n = ::recv(int(peer->socketDescriptor()), &c, 1, MSG_PEEK | MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                peer->abort();
                delete peer;
            }
        }
    }

    static void drop(QLocalSocket* peer) {
        peer->abort();
        peer->deleteLater();
    }

    void read(QLocalSocket* peer) {
        if (!peer->canReadLine()) {
            // No line within the longest request: not one of ours.
            if (peer->bytesAvailable() >= kMaxRequest) drop(peer);
            return;
        }
        const QString request = QString::fromUtf8(peer->readLine()).trimmed();
        // One request a connection: the handler may run for a while, and a
        // peer that wrote more meanwhile is not read again.
        disconnect(peer, &QLocalSocket::readyRead, this, nullptr);
        const QPointer<QLocalSocket> alive(peer);
        const QByteArray reply = m_handler ? m_handler(request) : QByteArray("ok");
        if (!alive) return;
        peer->write(reply + '\n');
        peer->disconnectFromServer();
    }

    int m_fd;
    QByteArray m_path;
    ino_t m_inode;
    Handler m_handler;
    QSocketNotifier m_notifier;
    QTimer m_resume;
    int m_peers = 0;
};

} // namespace

QString privateFolder(QString* why) {
    std::string reason;
    const std::string folder = localchannel::privateFolder(why ? &reason : nullptr);
    if (why) *why = QString::fromLocal8Bit(reason);
    return QFile::decodeName(QByteArray::fromStdString(folder));
}

QByteArray session(const QString& folder) {
    return QByteArray::fromStdString(
        localchannel::session(QFile::encodeName(folder).toStdString()));
}

std::unique_ptr<QObject> listen(const QString& path, Handler onRequest) {
    const QByteArray name = QFile::encodeName(path);
    const localchannel::SocketAddress address(name.toStdString());
    if (!address.valid()) return nullptr;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return nullptr;
    // A socket left by a killed instance is the new instance's to replace:
    // only the holder of the program's lock listens.
    ::unlink(name.constData());
    struct stat st {};
    if (::bind(fd, address.get(), address.size()) != 0 || ::chmod(name.constData(), 0600) != 0 ||
        ::listen(fd, 64) != 0 || ::lstat(name.constData(), &st) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<Server>(fd, name, st.st_ino, std::move(onRequest));
}

// The window manager decides which window gets the focus: nothing to lend.
QByteArray send(const QString& path, const QString& request, Lend) {
    return QByteArray::fromStdString(
        localchannel::send(QFile::encodeName(path).toStdString(), request.toUtf8().toStdString()));
}

} // namespace instancechannel
