#pragma once

// What a program's own executable does on POSIX systems: it needs nothing
// but the C and C++ runtime, so that a later start (`zuz --view`, a key
// bound to it in the desktop's settings) hands its request to the running
// instance without the dynamic loader first mapping Qt's
// libraries. Only a start that goes on loads the program proper.
namespace launcher {

// Hands `request` (none when null) to the running instance of `program`
// and ends when it takes it; otherwise runs the program proper with the
// same arguments. Returns the exit code.
int launch(const char* program, const char* request, int argc, char** argv);

} // namespace launcher
