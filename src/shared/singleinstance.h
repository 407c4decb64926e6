#pragma once

#include <QObject>
#include <QString>

#include <functional>
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

    // The channel between a later start and the instance that holds the
    // lock: the holder listens, and a later start hands it one request (a
    // line of text such as "--view") in place of starting a second time.
    void listen(std::function<void(const QString& request)> onRequest);
    // True when the running instance took the request.
    bool sendToRunning(const QString& request) const;
    QString channelPath() const;

  private:
    bool TakeOverForeignLock();

    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QObject> m_channel;
    QString m_path;
};
