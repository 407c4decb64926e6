// Windows: a process handle is signalled when the process ends.
#include "clientwatch.h"

#include <QWinEventNotifier>

#include <functional>

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
} // namespace

std::unique_ptr<QObject> ClientWatch::watch(qint64 pid) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process) return nullptr;
    if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        ::CloseHandle(process);
        return nullptr;
    }
    return std::make_unique<HandleWatch>(process, [this, pid] { ended(pid); });
}
