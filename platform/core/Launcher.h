#pragma once

#include <string>

namespace platform {

// Window styles of a started program.
enum WindowStyle : int {
    vbHide = 0,
    vbNormalFocus = 1,
    vbMinimizedFocus = 2,
    vbMaximizedFocus = 3,
};

// Starts another program from a command line without waiting for it.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Returns false when nothing could be started; callers decide whether that matters.
    virtual bool shell(const std::string& commandLine, int windowStyle) = 0;
};

// The launcher in use; the program installs the desktop's at start, tests a recorder.
Launcher& programs();
void setPrograms(Launcher* launcher);

} // namespace platform
