#pragma once

#include <string>
#include <sys/types.h>

#include "support/core/TempFolder.h"

// A virtual X server with a window manager that frames windows and gives them title bars, as a
// member's desktop does, started for the tests and stopped when they end. Without the window
// manager it stands for a bare X server, where windows are shown without frames.
class WindowManagerDisplay {
public:
    enum class Frames { WindowManager, None };

    // Starts the X server (1280 x 1024 at dpi dots per inch) on a free display and the window
    // manager on it; waits at most a few seconds for each.
    explicit WindowManagerDisplay(int dpi, Frames frames = Frames::WindowManager);
    ~WindowManagerDisplay();
    WindowManagerDisplay(const WindowManagerDisplay&) = delete;
    WindowManagerDisplay& operator=(const WindowManagerDisplay&) = delete;

    // Empty once both run; otherwise why they do not.
    const std::string& failure() const { return m_failure; }
    // The display's name (":N") for DISPLAY.
    const std::string& name() const { return m_name; }

    // What the tests skip with when there is no display: set once, before the tests run.
    static std::string& skipReason();

private:
    bool startServer(int dpi);
    bool startWindowManager();
    bool windowManagerRuns(int timeoutMs) const;
    static void stop(pid_t& pid);

    TempFolder m_config;
    std::string m_name;
    std::string m_failure;
    pid_t m_server = 0;
    pid_t m_windowManager = 0;
};
