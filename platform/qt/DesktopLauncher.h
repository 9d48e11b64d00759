#pragma once

#include "platform/core/Launcher.h"

namespace platform {

// Starts programs the desktop's way. On Windows the command line runs as it stands; elsewhere
// the text editor command line ("Notepad " and a path) opens the file with the desktop's
// default application for text.
class DesktopLauncher : public Launcher {
public:
    bool shell(const std::string& commandLine, int windowStyle) override;
};

} // namespace platform
