#pragma once

#include <QObject>

#include <map>
#include <memory>
#include <optional>

// One process held for watching. Opened first thing when the capture
// program starts, before Qt and the grabber are up, it stays the
// process it was: should that one end meanwhile and the system hand its id
// to another, the watch still sees the first one's end, not the stranger.
class ClientProcess {
  public:
    // The process `pid` as it runs now; one that is gone is held as ended.
    static ClientProcess open(qint64 pid);

    ClientProcess() = default;
    ClientProcess(ClientProcess&& other) noexcept;
    ClientProcess& operator=(ClientProcess&& other) noexcept;
    ~ClientProcess();

    qint64 pid() const { return m_pid; }
    // Whether the process has ended (or was gone when opened).
    bool ended() const;

  private:
    friend class ClientWatch;
    void close();

    qint64 m_pid = 0;
    // The system's hold on the process (a pidfd, a process handle); none
    // where it offers none, and then the process is looked for by its id,
    // its start time (where known) telling it from a later one.
    std::optional<qintptr> m_handle;
    enum class Lookup { None, ById };
    Lookup m_lookup = Lookup::None;
    std::optional<quint64> m_started;
};

// The programs that a waiting capture program serves, each watched by the
// system for its end: the waiting process sleeps until one ends, with no
// timer of its own.
class ClientWatch : public QObject {
    Q_OBJECT
  public:
    ClientWatch();
    ~ClientWatch() override;

    // Watches the process from now on; false when it has ended already or
    // cannot be watched.
    bool add(ClientProcess process);
    bool add(qint64 pid) { return add(ClientProcess::open(pid)); }
    int count() const { return int(m_watched.size()); }

  signals:
    // A watched process has ended.
    void clientEnded();

  private:
    // The platform's watch on one process, which it takes over; it goes
    // with the object.
    std::unique_ptr<QObject> watch(ClientProcess process);
    void ended(qint64 pid);

    std::map<qint64, std::unique_ptr<QObject>> m_watched;
};
