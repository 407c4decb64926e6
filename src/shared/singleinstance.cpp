#include "shared/singleinstance.h"

#include "shared/instanceaddress.h"
#include "shared/platform/instancechannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryFile>

#include <cstdlib>

namespace {
// The lock this process holds. A program that loses its display is ended by
// Qt with exit(), which skips every destructor: the lock must go
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
    // UTF-8 in and out: the names only add ASCII to the folder, and no
    // code page of the system stands between a folder and its name.
    if (!folder.isEmpty()) {
        const std::string inFolder = folder.toStdString();
        const std::string program = programName.toStdString();
        const std::string session = instancechannel::session(folder).toStdString();
        m_path = QString::fromStdString(instanceaddress::lockFile(inFolder, program, session));
        m_channelPath =
            QString::fromStdString(instanceaddress::channelFile(inFolder, program, session));
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

QByteArray SingleInstance::sendToRunning(const QString& request, instancechannel::Lend lend) const {
    if (m_path.isEmpty()) return {};
    return instancechannel::send(channelPath(), request, lend);
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
    return (foreign || heldOnAnotherHost()) && QFile::remove(m_path);
}

bool SingleInstance::heldOnAnotherHost() const {
    // Qt asks only its own host whether a holder lives, so a lock
    // that a crash on another host left in a shared home would stand for
    // good. None can be alive: a folder that other hosts share names the
    // host in the lock's name, and the runtime folder is this host's alone.
    qint64 pid = 0;
    QString host;
    QString application;
    return m_lock->getLockInfo(&pid, &host, &application) && !host.isEmpty() &&
           host != QSysInfo::machineHostName();
}

void SingleInstance::release() {
    // The channel first: a start that takes the lock the moment it is free
    // finds the channel's name free as well, and listens.
    m_channel.reset();
    m_lock->unlock();
}

QString SingleInstance::lockPath() const {
    return m_path;
}
