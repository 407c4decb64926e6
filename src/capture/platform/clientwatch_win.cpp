// Windows: a process handle is signalled when the process ends, and holds
// the process's id for it until the handle is closed.
#include "capture/clientwatch.h"

#include <QWinEventNotifier>

#include <functional>
#include <utility>

#include <windows.h>

namespace {
class HandleWatch : public QObject {
  public:
    HandleWatch(HANDLE process, std::function<void()> onEnd)
        : m_process(process), m_notifier(process, this) {
        connect(&m_notifier, &QWinEventNotifier::activated, this, [this, onEnd] {
            m_notifier.setEnabled(false);
            onEnd();
        });
    }
    ~HandleWatch() override { ::CloseHandle(m_process); }

  private:
    HANDLE m_process;
    QWinEventNotifier m_notifier;
};

HANDLE handleOf(qintptr value) {
    return reinterpret_cast<HANDLE>(value);
}
} // namespace

ClientProcess ClientProcess::open(qint64 pid) {
    ClientProcess process;
    process.m_pid = pid;
    if (pid <= 0) return process;
    if (HANDLE handle = ::OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid)))
        process.m_handle = reinterpret_cast<qintptr>(handle);
    return process;
}

void ClientProcess::close() {
    if (m_handle) ::CloseHandle(handleOf(*m_handle));
    m_handle.reset();
}

bool ClientProcess::ended() const {
    return !m_handle || ::WaitForSingleObject(handleOf(*m_handle), 0) == WAIT_OBJECT_0;
}

std::unique_ptr<QObject> ClientWatch::watch(ClientProcess process) {
    if (process.ended()) return nullptr;
    const qint64 pid = process.pid();
    const HANDLE handle = handleOf(*std::exchange(process.m_handle, {}));
    return std::make_unique<HandleWatch>(handle, [this, pid] { ended(pid); });
}
