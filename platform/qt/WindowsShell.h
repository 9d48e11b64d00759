#pragma once

#include <string>

namespace platform {

// Starts a program from a command line as Windows' own shell does, without waiting for it: the
// system finds the program named first (Notepad among the system's programs), the rest of the
// line is its arguments, and its first window opens in the given style (hidden, normal,
// minimised or maximised, and in front). False when nothing could be started.
bool startFromCommandLine(const std::string& commandLine, int windowStyle);

} // namespace platform
