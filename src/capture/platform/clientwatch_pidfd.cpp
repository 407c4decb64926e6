// Linux: a descriptor of the process (pidfd) becomes readable when the
// process ends. Kernels before 5.3 have none; there the process is looked
// for now and then instead, known by its start time.
#include "capture/clientwatch.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef SYS_pidfd_open
#define SYS_pidfd_open 434
#endif

namespace {
// How often a process without a descriptor is looked for.
constexpr int kLookEveryMs = 30000;

// When the process `pid` started, in clock ticks after boot: the 22nd
// field of /proc/<pid>/stat, counted after the command's closing
// parenthesis, since the command itself may hold spaces and parentheses.
std::optional<quint64> startTime(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0) return std::nullopt;
    // After the parenthesis come field 3 (the state) onwards.
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    constexpr int kStartField = 22 - 3;
    if (fields.size() <= kStartField) return std::nullopt;
    bool ok = false;
    const quint64 ticks = fields[kStartField].toULongLong(&ok);
    return ok ? std::optional<quint64>(ticks) : std::nullopt;
}

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

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

ClientProcess ClientProcess::open(qint64 pid) {
    ClientProcess process;
    process.m_pid = pid;
    if (pid <= 0) return process;
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd >= 0) {
        process.m_handle = fd;
    } else if (errno == ENOSYS && ::kill(pid_t(pid), 0) == 0) {
        process.m_lookup = Lookup::ById;
        process.m_started = startTime(pid);
    }
    return process;
}

void ClientProcess::close() {
    if (m_handle) ::close(int(*m_handle));
    m_handle.reset();
}

bool ClientProcess::ended() const {
    if (m_handle) return readable(int(*m_handle));
    if (m_lookup == Lookup::None) return true;
    if (::kill(pid_t(m_pid), 0) != 0 && errno == ESRCH) return true;
    return m_started && startTime(m_pid) != m_started;
}

std::unique_ptr<QObject> ClientWatch::watch(ClientProcess process) {
    if (process.ended()) return nullptr;
    const qint64 pid = process.pid();
    if (process.m_handle) {
        const int fd = int(*std::exchange(process.m_handle, {}));
        return std::make_unique<DescriptorWatch>(fd, [this, pid] { ended(pid); });
    }
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(kLookEveryMs);
    QObject::connect(timer.get(), &QTimer::timeout, this,
                     [this, pid, held = std::make_shared<ClientProcess>(std::move(process))] {
                         if (held->ended()) ended(pid);
                     });
    timer->start();
    return timer;
}
