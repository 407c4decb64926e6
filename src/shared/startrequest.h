#pragma once

// What a later start of a program hands its running instance, and what
// the instance replies. Plain C++: the launchers read it before any
// library of Qt is loaded, the programs when they answer.
#include <cstring>

namespace startrequest {

// zuz: a view, as the hotkey brings one; where the user holds no other
// way to the next view, a start without arguments brings one too.
inline constexpr char kView[] = "--view";
inline constexpr char kStart[] = "start";
// Zonara: a pick, as a click on its button starts one.
inline constexpr char kPick[] = "--pick";

// The running instance's reply when it acts on a request itself, and when
// it leaves the later start to show the hint box.
inline constexpr char kTaken[] = "ok";
inline constexpr char kShowHint[] = "hint";

inline bool hasArgument(int argc, char** argv, const char* argument) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], argument) == 0) return true;
    return false;
}

inline const char* forZuz(int argc, char** argv) {
    return hasArgument(argc, argv, kView) ? kView : kStart;
}

// A plain second start of Zonara hands nothing over: its button is always
// on the screen, and the start shows the hint box.
inline const char* forZonara(int argc, char** argv) {
    return hasArgument(argc, argv, kPick) ? kPick : nullptr;
}

} // namespace startrequest
