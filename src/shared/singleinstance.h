#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One running instance per program and user. The lock names the holder's
// process, so a lock left by a killed instance is taken over at once.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& programName);
    ~SingleInstance();

    // True when this process is now the only instance.
    bool tryAcquire();
    // Gives the lock back; also done at exit() and by the destructor.
    void release();
    QString lockPath() const;

  private:
    bool TakeOverForeignLock();

    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
};
