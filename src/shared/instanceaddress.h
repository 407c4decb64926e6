#pragma once

#include <string>
#include <string_view>

// Where a program's single-instance lock and channel lie in the user's
// private folder, and the channel's limits. Plain C++, because a program's
// launcher finds the channel before any library of the toolkit is loaded:
// launcher and program take both names from here and cannot disagree.
namespace instanceaddress {

inline std::string inFolder(std::string_view folder, std::string_view program,
                            std::string_view suffix) {
    std::string path(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path != "/") path += '/';
    return path.append(program).append(suffix);
}

inline std::string lockFile(std::string_view folder, std::string_view program) {
    return inFolder(folder, program, ".lock");
}

inline std::string channelFile(std::string_view folder, std::string_view program) {
    return inFolder(folder, program, ".channel");
}

// The longest request line, and how long a later start may take to send
// one: a peer that sends more, or nothing, is dropped.
constexpr int kMaxRequest = 256;
constexpr int kDeadlineMs = 2000;

} // namespace instanceaddress
