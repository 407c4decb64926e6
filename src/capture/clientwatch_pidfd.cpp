// Linux: a descriptor of the process (pidfd) becomes readable when the
// process ends. Kernels before 5.3 have none; there the process is looked
// for now and then instead.
#include "clientwatch.h"

#include <QSocketNotifier>

#include <QTimer>
#include <functional>

#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef SYS_pidfd_open
#define SYS_pidfd_open 434
#endif

namespace {
// How often a process without a descriptor is looked for.
constexpr int kLookEveryMs = 30000;

class DescriptorWatch : public QObject {
  public:
    DescriptorWatch(int fd, std::function<void()> onEnd)
        : m_fd(fd), m_notifier(fd, QSocketNotifier::Read, this) {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this, onEnd] {
            m_notifier.setEnabled(false);
            onEnd();
        });
    }
    ~DescriptorWatch() override { ::close(m_fd); }

  private:
    int m_fd;
    QSocketNotifier m_notifier;
};
} // namespace

std::unique_ptr<QObject> ClientWatch::watch(qint64 pid) {
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd >= 0) return std::make_unique<DescriptorWatch>(fd, [this, pid] { ended(pid); });
    if (errno != ENOSYS || ::kill(pid_t(pid), 0) != 0) return nullptr;
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(kLookEveryMs);
    QObject::connect(timer.get(), &QTimer::timeout, this, [this, pid] {
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) ended(pid);
    });
    timer->start();
    return timer;
}
