#include "singleinstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {
QString lockFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir;
}
} // namespace

SingleInstance::SingleInstance(const QString& programName)
    : m_path(QDir(lockFolder()).absoluteFilePath(programName + QStringLiteral(".lock"))) {
    m_lock = std::make_unique<QLockFile>(m_path);
    // Age alone never makes a lock stale: only a holder that is gone does.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire() {
    if (m_lock->isLocked()) return true;
    return m_lock->tryLock(0);
}

QString SingleInstance::lockPath() const {
    return m_path;
}
