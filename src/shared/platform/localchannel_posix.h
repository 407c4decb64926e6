#pragma once

#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>

// The later start's side of the single-instance channel on POSIX systems:
// the user's private folder and a request over its Unix-domain socket.
// Needs only the C library, so that a program's launcher can hand a
// request over before Qt's libraries are loaded; the programs
// use the same code, so both find the same folder.
namespace localchannel {

// The folder where a program keeps its lock and its channel: one that
// only this user can enter, so that no other account can plant a lock
// that keeps the program from starting, nor a channel that listens to its
// requests. Empty when there is none, with the reason in `why`.
std::string privateFolder(std::string* why = nullptr);

// The graphical session this process belongs to, for the names of lock
// and channel in `folder`: its display, and this host's name where the
// folder is not the runtime folder (a home that other hosts may share).
std::string session(const std::string& folder);

// A socket's address however long its path: one beyond the address's
// room (a deep home folder) is reached through an open handle on its
// folder, by a short path of the process's own.
class SocketAddress {
  public:
    explicit SocketAddress(const std::string& path);
    ~SocketAddress();
    SocketAddress(const SocketAddress&) = delete;
    SocketAddress& operator=(const SocketAddress&) = delete;
    bool valid() const { return m_valid; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&m_address); }
    socklen_t size() const { return sizeof m_address; }

  private:
    sockaddr_un m_address{};
    int m_folder = -1;
    bool m_valid = false;
};

// Hands `request` to the instance listening at `path` and returns its
// reply line; empty when no instance took it.
std::string send(const std::string& path, std::string_view request);

} // namespace localchannel
