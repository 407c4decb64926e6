#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Where a program's single-instance lock and channel lie in the user's
// private folder, and the channel's limits. Plain C++, because a program's
// launcher finds the channel before any library of Qt is loaded:
// launcher and program take both names from here and cannot disagree.
//
// One instance runs per graphical session, not per user: a user logged in
// twice (a remote desktop beside the local one) has a runtime folder for
// both, and a request of one session must not show on the other's screen.
namespace instanceaddress {

namespace detail {

inline std::string withoutTrailingSlashes(std::string_view path) {
    std::string s(path);
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

inline std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

// A short name for a session of any length or alphabet, fit for a file
// name and for the socket's short address.
inline std::string digest(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4)
        out[size_t(i)] = kHex[h & 15];
    return out;
}

} // namespace detail

// The session an X display or a Wayland socket stands for. The compositor
// wins where both are named (X clients there run on its Xwayland). Every
// spelling of one X server gives one name: ":0", ":0.0" and "unix:0"
// alike, the screen dropped; a remote server keeps its host. A Wayland
// socket given by its full path in the runtime folder is its bare name.
// Empty where the process has no display at all.
inline std::string displaySession(std::string_view wayland, std::string_view display,
                                  std::string_view runtimeFolder) {
    if (!wayland.empty()) {
        std::string socket(wayland);
        const std::string folder = detail::withoutTrailingSlashes(runtimeFolder);
        if (!folder.empty() && socket.size() > folder.size() + 1 &&
            socket.compare(0, folder.size(), folder) == 0 && socket[folder.size()] == '/')
            socket.erase(0, folder.size() + 1);
        return "wayland:" + socket;
    }
    if (display.empty()) return {};
    const size_t colon = display.rfind(':');
    if (colon == std::string_view::npos) return "x11:" + std::string(display);
    std::string host(display.substr(0, colon));
    // "host::0" is DECnet's spelling; the host is what counts.
    while (!host.empty() && host.back() == ':')
        host.pop_back();
    host = detail::lowered(host);
    if (host == "unix") host.clear();
    std::string_view number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    return "x11:" + host + ":" + std::string(number);
}

inline std::string inFolder(std::string_view folder, std::string_view program,
                            std::string_view session, std::string_view suffix) {
    std::string path = detail::withoutTrailingSlashes(folder);
    if (path != "/") path += '/';
    path.append(program);
    if (!session.empty()) path.append("-").append(detail::digest(session));
    return path.append(suffix);
}

inline std::string lockFile(std::string_view folder, std::string_view program,
                            std::string_view session) {
    return inFolder(folder, program, session, ".lock");
}

inline std::string channelFile(std::string_view folder, std::string_view program,
                               std::string_view session) {
    return inFolder(folder, program, session, ".channel");
}

// The longest request line, and how long a later start may take to send
// one: a peer that sends more, or nothing, is dropped.
constexpr int kMaxRequest = 256;
constexpr int kDeadlineMs = 2000;

} // namespace instanceaddress
