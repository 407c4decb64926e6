#include "singleinstance.h"

#include "platform/instancechannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
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

QString lockFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir;
}

// Who this process is, as the file system records it: the owner of a file
// it makes in `folder`.
uint ownerOfNewFiles(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".owner-XXXXXX")));
    return probe.open() ? QFileInfo(probe.fileName()).ownerId() : uint(-2);
}
} // namespace

SingleInstance::SingleInstance(const QString& programName)
    : m_path(QDir(lockFolder()).absoluteFilePath(programName + QStringLiteral(".lock"))) {
    m_lock = std::make_unique<QLockFile>(m_path);
    // Age alone never makes a lock stale: only a holder that is gone does.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (g_held == this) g_held = nullptr;
}

QString SingleInstance::channelPath() const {
    QString path = m_path;
    path.chop(int(qstrlen(".lock")));
    return path + QStringLiteral(".channel");
}

void SingleInstance::listen(std::function<void(const QString&)> onRequest) {
    if (!m_lock->isLocked() || m_channel) return;
    m_channel = instancechannel::listen(channelPath(), std::move(onRequest));
}

bool SingleInstance::sendToRunning(const QString& request) const {
    return instancechannel::send(channelPath(), request);
}

bool SingleInstance::tryAcquire() {
    if (m_lock->isLocked()) return true;
    if (!m_lock->tryLock(0) && !(TakeOverForeignLock() && m_lock->tryLock(0))) return false;
    static const bool releasedAtExit = std::atexit(&releaseHeldLock) == 0;
    (void)releasedAtExit;
    g_held = this;
    return true;
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
