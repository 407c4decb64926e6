#pragma once

#include "shared/platform/instancechannel.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLockFile;

// What an attempt to become the only instance found.
enum class InstanceClaim {
    Acquired, // this process is now the only instance
    Running,  // another instance in this user's session holds the lock
    Failed,   // the lock could not be taken at all (see failure())
};

// One running instance per program and graphical session of the user. The
// lock names the holder's process, so a lock left by a killed instance is
// taken over at once. Lock and channel live in a folder that only this user
// can enter.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& programName);
    ~SingleInstance();

    InstanceClaim tryAcquire();
    // Why the last tryAcquire failed: the folder or file and the system's
    // reason (a full or read-only folder, no private folder to be had).
    QString failure() const;
    // Gives the lock back; also done at exit() and by the destructor.
    void release();
    QString lockPath() const;

    // The channel between a later start and the instance that holds the
    // lock: the holder listens, and a later start hands it one request (a
    // line of text such as "--view") in place of starting a second time.
    // The handler's result is the reply the later start reads. False when
    // this instance holds no lock or the system offers no channel.
    bool listen(std::function<QByteArray(const QString& request)> onRequest);
    // The running instance's reply to the request; empty when none took it.
    QByteArray sendToRunning(const QString& request,
                             instancechannel::Lend lend = instancechannel::Lend::Nothing) const;
    QString channelPath() const;

  private:
    bool TakeOverForeignLock();
    bool heldOnAnotherHost() const;
    QString reasonLockFails() const;

    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QObject> m_channel;
    QString m_path;
    QString m_channelPath;
    QString m_failure;
};
