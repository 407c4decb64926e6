// A program with one fault of each kind the sanitized build must catch,
// for checking that checked.py notices them wherever they happen.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Out of line and used, so that the compiler can neither drop the
// allocation nor leave its address where the leak check looks.
[[gnu::noinline]] void drop() {
    int* lost = new int[64];
    std::memset(lost, 1, 64 * sizeof(int));
    asm volatile("" : : "r"(lost) : "memory");
}

int leak() {
    drop();
    return 0;
}

int useAfterFree() {
    int* p = new int[8];
    delete[] p;
    return p[3];
}

int overflow() {
    volatile int big = 0x7fffffff;
    volatile int sum = big + 1;
    return sum == 0 ? 2 : 0;
}

int floatToInt() {
    volatile double huge = 1e30;
    volatile int truncated = static_cast<int>(huge);
    return truncated == 0 ? 2 : 0;
}

// Leaks, then waits for SIGTERM and ends the ordinary way, as the programs
// do, so the leak check runs at that exit.
int leakThenTerm() {
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    sigprocmask(SIG_BLOCK, &term, nullptr);
    std::puts("ready");
    std::fflush(stdout);
    leak();
    int received = 0;
    sigwait(&term, &received);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (!std::strcmp(mode, "clean")) return 0;
    if (!std::strcmp(mode, "leak")) return leak();
    if (!std::strcmp(mode, "use-after-free")) return useAfterFree();
    if (!std::strcmp(mode, "overflow")) return overflow();
    if (!std::strcmp(mode, "float-to-int")) return floatToInt();
    if (!std::strcmp(mode, "abort")) std::abort();
    if (!std::strcmp(mode, "leak-then-term")) return leakThenTerm();
    return 2;
}
