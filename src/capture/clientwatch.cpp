#include "capture/clientwatch.h"

#include <utility>

ClientProcess::ClientProcess(ClientProcess&& other) noexcept
    : m_pid(std::exchange(other.m_pid, 0)), m_handle(std::exchange(other.m_handle, {})),
      m_lookup(std::exchange(other.m_lookup, Lookup::None)),
      m_started(std::exchange(other.m_started, {})) {}

ClientProcess& ClientProcess::operator=(ClientProcess&& other) noexcept {
    if (this != &other) {
        close();
        m_pid = std::exchange(other.m_pid, 0);
        m_handle = std::exchange(other.m_handle, {});
        m_lookup = std::exchange(other.m_lookup, Lookup::None);
        m_started = std::exchange(other.m_started, {});
    }
    return *this;
}

ClientProcess::~ClientProcess() {
    close();
}

ClientWatch::ClientWatch() = default;
ClientWatch::~ClientWatch() = default;

bool ClientWatch::add(ClientProcess process) {
    const qint64 pid = process.pid();
    if (m_watched.count(pid)) return true;
    std::unique_ptr<QObject> w = watch(std::move(process));
    if (!w) return false;
    m_watched.emplace(pid, std::move(w));
    return true;
}

void ClientWatch::ended(qint64 pid) {
    const auto it = m_watched.find(pid);
    if (it == m_watched.end()) return;
    // The watch is what called: it goes once that call has returned.
    it->second.release()->deleteLater();
    m_watched.erase(it);
    emit clientEnded();
}
