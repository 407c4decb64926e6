#pragma once

#include <QObject>

#include <map>
#include <memory>

// The programs that a waiting capture program serves, each watched by the
// system for its end: the waiting process sleeps until one ends, with no
// timer of its own.
class ClientWatch : public QObject {
    Q_OBJECT
  public:
    ClientWatch();
    ~ClientWatch() override;

    // Watches the process `pid` from now on; false when it has ended
    // already or cannot be watched.
    bool add(qint64 pid);
    int count() const { return int(m_watched.size()); }

  signals:
    // A watched process has ended.
    void clientEnded();

  private:
    // The platform's watch on one process; it goes with the object.
    std::unique_ptr<QObject> watch(qint64 pid);
    void ended(qint64 pid);

    std::map<qint64, std::unique_ptr<QObject>> m_watched;
};
