#include "singleinstance.h"

#include "instanceaddress.h"
#include "platform/instancechannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>

#include <cstdlib>

namespace {
// The lock this process holds. A program that loses its display is ended by
// the toolkit with exit(), which skips every destructor: the lock must go
// all the same, or the next start is refused until the lock is found stale.
SingleInstance* g_held = nullptr;

void releaseHeldLock() {
    if (g_held) g_held->release();
}

// Who this process is, as the file system records it: the owner of a file
// it makes in `folder`.
uint ownerOfNewFiles(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".owner-XXXXXX")));
    return probe.open() ? QFileInfo(probe.fileName()).ownerId() : uint(-2);
}
} // namespace

SingleInstance::SingleInstance(const QString& programName) {
    const QString folder = instancechannel::privateFolder(&m_failure);
    // Without a folder of its own the program takes no lock (tryAcquire
    // says why) rather than one that another account could hold.
    if (!folder.isEmpty()) {
        const std::string inFolder = QFile::encodeName(folder).toStdString();
        const std::string program = QFile::encodeName(programName).toStdString();
        m_path = QFile::decodeName(
            QByteArray::fromStdString(instanceaddress::lockFile(inFolder, program)));
        m_channelPath = QFile::decodeName(
            QByteArray::fromStdString(instanceaddress::channelFile(inFolder, program)));
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    // Age alone never makes a lock stale: only a holder that is gone does.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (g_held == this) g_held = nullptr;
}

QString SingleInstance::channelPath() const {
    return m_channelPath;
}

bool SingleInstance::listen(std::function<QByteArray(const QString&)> onRequest) {
    if (!m_lock->isLocked()) return false;
    if (!m_channel) m_channel = instancechannel::listen(channelPath(), std::move(onRequest));
    return m_channel != nullptr;
}

QByteArray SingleInstance::sendToRunning(const QString& request) const {
    if (m_path.isEmpty()) return {};
    return instancechannel::send(channelPath(), request);
}

InstanceClaim SingleInstance::tryAcquire() {
    if (m_path.isEmpty()) return InstanceClaim::Failed;
    if (m_lock->isLocked()) return InstanceClaim::Acquired;
    if (!m_lock->tryLock(0) && !(TakeOverForeignLock() && m_lock->tryLock(0))) {
        // Only a lock that is there and held counts as another instance.
        if (m_lock->error() == QLockFile::LockFailedError) return InstanceClaim::Running;
        m_failure = reasonLockFails();
        return InstanceClaim::Failed;
    }
    static const bool releasedAtExit = std::atexit(&releaseHeldLock) == 0;
    (void)releasedAtExit;
    g_held = this;
    return InstanceClaim::Acquired;
}

QString SingleInstance::failure() const {
    return m_failure;
}

QString SingleInstance::reasonLockFails() const {
    // The lock file does not say why it could not be made; a file made
    // beside it meets the same cause and names it.
    QFile probe(m_path + QStringLiteral(".probe"));
    const bool written = probe.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
                         probe.write(QByteArray(64, '0')) == 64 && probe.flush();
    const QString why = probe.errorString();
    if (probe.isOpen()) probe.remove();
    return written ? m_path : m_path + QStringLiteral(": ") + why;
}

bool SingleInstance::TakeOverForeignLock() {
    // A lock that belongs to someone else (left by a run under another
    // account that shared the folder) or that this user cannot even read
    // was not made by an instance of this user: it must not keep the
    // program from starting. In a folder shared by all users (the
    // fallback) the removal is refused, and the start with it.
    const QFileInfo lock(m_path);
    if (!lock.exists()) return false;
    const bool foreign =
        !lock.isReadable() || lock.ownerId() != ownerOfNewFiles(lock.absolutePath());
    return foreign && QFile::remove(m_path);
}

void SingleInstance::release() {
    m_lock->unlock();
}

QString SingleInstance::lockPath() const {
    return m_path;
}
