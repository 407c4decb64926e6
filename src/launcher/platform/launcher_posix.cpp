#include "launcher/launcher.h"

#include "launcher/desktopnotice.h"
#include "launcher/programentry.h"
#include "launcher/startfailure.h"
#include "shared/instanceaddress.h"
#include "shared/platform/localchannel_posix.h"
#include "shared/startrequest.h"

#include <cerrno>
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

// Said on standard error and where a user who started the program from the
// menu or a key sees it; the exit code is the shell's for "cannot run".
int failed(const char* program, startfailure::Cause cause, const std::string& module,
           const std::string& detail) {
    const startfailure::Notice notice =
        startfailure::describe(cause, program, module, detail, startfailure::environmentLanguage());
    std::fprintf(stderr, "%s: %s\n", program, notice.body.c_str());
    desktopnotice::show(program, notice);
    return 127;
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
    if (::access(module.c_str(), F_OK) != 0 && errno == ENOENT)
        return failed(program, startfailure::Cause::ModuleMissing, module, std::string());
    // Every symbol bound now: a module built against other libraries than
    // these is refused here, where it can still be said, rather than ending
    // the process at its first call of a missing function, past the exit
    // handlers that remove the lock and the channel. Global, as the symbols
    // of an executable are: Qt's plugins see the program's as they
    // would otherwise. The module stays loaded until the process ends, for
    // its exit handlers and for the reports of the sanitized build.
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        // The loader's message names the module and what is wrong with it.
        return failed(program, startfailure::Cause::ModuleUnloadable, module, ::dlerror());
    }
    const auto entry = reinterpret_cast<programentry::Entry>(::dlsym(handle, programentry::kEntry));
    if (!entry) return failed(program, startfailure::Cause::NotTheModule, module, ::dlerror());
    return entry(argc, argv);
}

} // namespace launcher
