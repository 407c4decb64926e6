#include "shared/platform/localchannel_posix.h"

#include "shared/instanceaddress.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace localchannel {

namespace {

std::string errnoText(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool absolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

// A folder, not a link, owned by this user, that no one else may enter.
bool isPrivateFolder(const std::string& path, std::string* why) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (why) *why = errnoText(path, errno);
        return false;
    }
    const bool ok = S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
    if (!ok && why) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
        *why = path + ": not a folder of this user's alone (owner " + std::to_string(st.st_uid) +
               ", mode " + mode + ")";
    }
    return ok;
}

std::string runtimeFolder() {
    std::string runtime = environment("XDG_RUNTIME_DIR");
    while (runtime.size() > 1 && runtime.back() == '/')
        runtime.pop_back();
    return runtime;
}

std::string cacheHome() {
    const std::string cache = environment("XDG_CACHE_HOME");
    if (absolute(cache)) return cache;
    std::string home = environment("HOME");
    if (!absolute(home)) {
        const passwd* pw = ::getpwuid(::geteuid());
        if (pw && pw->pw_dir) home = pw->pw_dir;
    }
    return absolute(home) ? home + "/.cache" : std::string();
}

// mkdir -p for the parents, as the user's umask allows.
bool makeParents(const std::string& path) {
    for (size_t i = path.find('/', 1); i != std::string::npos; i = path.find('/', i + 1)) {
        if (::mkdir(path.substr(0, i).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// Blocking calls on the socket give up after the channel's deadline.
void setDeadline(int fd) {
    using instanceaddress::kDeadlineMs;
    timeval tv{kDeadlineMs / 1000, (kDeadlineMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
}

} // namespace

std::string privateFolder(std::string* why) {
    const std::string runtime = runtimeFolder();
    if (absolute(runtime) && isPrivateFolder(runtime, nullptr)) return runtime;
    // Not the shared temp folder, where another account may have made the
    // folder first: one of our own under the user's cache folder.
    const std::string cache = cacheHome();
    if (cache.empty()) {
        if (why) *why = "no XDG_RUNTIME_DIR and no home folder";
        return {};
    }
    const std::string own = cache + "/zuz-runtime";
    if (!makeParents(own)) {
        if (why) *why = errnoText(own, errno);
        return {};
    }
    struct stat st {};
    // Made earlier with a looser mode (the user's own doing): tightened.
    if (::lstat(own.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
        ::chmod(own.c_str(), 0700);
    if (!isPrivateFolder(own, why)) return {};
    return own;
}

std::string session(const std::string& folder) {
    const std::string runtime = runtimeFolder();
    std::string name = instanceaddress::displaySession(environment("WAYLAND_DISPLAY"),
                                                       environment("DISPLAY"), runtime);
    // The runtime folder is this host's alone; a home folder may be
    // mounted on several hosts, each with its own ":0".
    if (folder != runtime) {
        char host[256] = {};
        if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
        name = std::string(host) + '/' + name;
    }
    return name;
}

SocketAddress::SocketAddress(const std::string& path) {
    m_address.sun_family = AF_UNIX;
    std::string reach = path;
    if (path.size() >= sizeof m_address.sun_path) {
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0) return;
        m_folder = ::open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (m_folder < 0) return;
        reach = "/proc/self/fd/" + std::to_string(m_folder) + path.substr(slash);
        if (reach.size() >= sizeof m_address.sun_path) return;
    }
    std::memcpy(m_address.sun_path, reach.data(), reach.size());
    m_valid = true;
}

SocketAddress::~SocketAddress() {
    if (m_folder >= 0) ::close(m_folder);
}

std::string send(const std::string& path, std::string_view request) {
    // Only a socket of this user's: no one else's listener hears the request.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    const SocketAddress address(path);
    if (!address.valid()) return {};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    setDeadline(fd);
    std::string reply;
    const std::string line = std::string(request) + '\n';
    if (::connect(fd, address.get(), address.size()) == 0 &&
        ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size())) {
        char buf[64];
        // The instance answers once it has the request in hand.
        while (reply.find('\n') == std::string::npos &&
               reply.size() < size_t(instanceaddress::kMaxRequest)) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            reply.append(buf, size_t(n));
        }
    }
    ::close(fd);
    const size_t end = reply.find('\n');
    if (end == std::string::npos) return {};
    reply.resize(end);
    // Trimmed as the server trims what it reads.
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!reply.empty() && space(reply.back()))
        reply.pop_back();
    size_t first = 0;
    while (first < reply.size() && space(reply[first]))
        ++first;
    return reply.substr(first);
}

} // namespace localchannel
