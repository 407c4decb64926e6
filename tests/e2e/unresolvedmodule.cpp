// A program module built against a library that is not there: its entry
// calls a function nothing defines. Loaded, it says so on standard output
// before that call.
#include <cstdio>

extern "C" int zuzZonaraNowhereDefined();

extern "C" int zuzZonaraProgramMain(int, char**) {
    std::puts("entered");
    std::fflush(stdout);
    return zuzZonaraNowhereDefined();
}
