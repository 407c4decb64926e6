#pragma once

#include <string>
#include <string_view>

// The later start's side of the single-instance channel on POSIX systems:
// the user's private folder and a request over its Unix-domain socket.
// Needs only the C library, so that a program's launcher can hand a
// request over before the toolkit's libraries are loaded; the programs
// use the same code, so both find the same folder.
namespace localchannel {

// The folder where a program keeps its lock and its channel: one that
// only this user can enter, so that no other account can plant a lock
// that keeps the program from starting, nor a channel that listens to its
// requests. Empty when there is none, with the reason in `why`.
std::string privateFolder(std::string* why = nullptr);

// Hands `request` to the instance listening at `path` and returns its
// reply line; empty when no instance took it.
std::string send(const std::string& path, std::string_view request);

} // namespace localchannel
