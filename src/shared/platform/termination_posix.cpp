#include "shared/platform/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler may do next to nothing; it hands the request to the
// event loop through a pipe.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_requested = 0;

void onSignal(int) {
    const int saved = errno;
    g_requested = 1;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void drainAndQuit() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    // exit() rather than quit(): a window that refuses to close (zuz hides
    // to the tray) must not keep the program alive, and a modal loop that
    // runs now ends too.
    QCoreApplication::exit(0);
}

} // namespace

namespace termination {

void quitOnRequest() {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier =
        new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, &drainAndQuit);

    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool requested() {
    return g_requested != 0;
}

} // namespace termination
