#include "launcher.h"

#include "instanceaddress.h"
#include "platform/localchannel_posix.h"
#include "programentry.h"
#include "startrequest.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace launcher {

namespace {

// The folder this executable lies in, links resolved: the program folder,
// where the module and the companions are, wherever a link in bin/ that
// was started points from.
std::string ownFolder(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string self;
    if (n > 0) {
        self.assign(buffer, size_t(n));
    } else if (argv0 && std::string(argv0).find('/') != std::string::npos) {
        // Systems without /proc: the path it was started by.
        if (char* real = ::realpath(argv0, nullptr)) {
            self = real;
            ::free(real);
        }
    }
    const size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string() : self.substr(0, slash + 1);
}

bool handedOver(const char* program, const char* request) {
    if (!request) return false;
    const std::string folder = localchannel::privateFolder();
    return !folder.empty() &&
           localchannel::send(
               instanceaddress::channelFile(folder, program, localchannel::session(folder)),
               request) == startrequest::kTaken;
}

} // namespace

int launch(const char* program, const char* request, int argc, char** argv) {
    if (handedOver(program, request)) return 0;

    const std::string folder = ownFolder(argc > 0 ? argv[0] : nullptr);
    if (folder.empty()) {
        std::fprintf(stderr, "%s: cannot find the folder this program lies in\n", program);
        return 127;
    }
    const std::string module = folder + program + programentry::kModuleSuffix;
    // Global, as the symbols of an executable are: the toolkit's plugins
    // see the program's as they would otherwise. The module stays loaded
    // until the process ends, for its exit handlers and for the reports
    // of the sanitized build.
    void* handle = ::dlopen(module.c_str(), RTLD_LAZY | RTLD_GLOBAL);
    if (!handle) {
        // The loader's message names the module and what is wrong with it.
        std::fprintf(stderr, "%s: cannot load the program: %s\n", program, ::dlerror());
        return 127;
    }
    const auto entry =
        reinterpret_cast<programentry::Entry>(::dlsym(handle, programentry::kEntry));
    if (!entry) {
        std::fprintf(stderr, "%s: %s is not this program's module: %s\n", program,
                     module.c_str(), ::dlerror());
        return 127;
    }
    return entry(argc, argv);
}

} // namespace launcher
