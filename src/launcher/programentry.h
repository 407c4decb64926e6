#pragma once

// How a launcher reaches the program proper, a module beside it in the
// program folder: <launcher's name>-program.so, entered by this function.
// The launcher has handed the start's request over to a running instance
// already (which did not take it, or none runs).
extern "C" int zuzZonaraProgramMain(int argc, char** argv);

namespace programentry {
inline constexpr char kEntry[] = "zuzZonaraProgramMain";
inline constexpr char kModuleSuffix[] = "-program.so";
using Entry = int (*)(int argc, char** argv);
} // namespace programentry
