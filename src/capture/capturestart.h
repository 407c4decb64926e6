#pragma once

namespace capturestart {
// Runs the capture program; returns the process exit code.
int runCapture(int argc, char** argv);
} // namespace capturestart
