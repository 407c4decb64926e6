#include "clientwatch.h"

ClientWatch::ClientWatch() = default;
ClientWatch::~ClientWatch() = default;

bool ClientWatch::add(qint64 pid) {
    if (m_watched.count(pid)) return true;
    std::unique_ptr<QObject> w = watch(pid);
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
