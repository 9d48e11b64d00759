#ifdef _WIN32

#include "platform/qt/WindowsShell.h"

#include <windows.h>

#include <QString>

namespace platform {

bool startFromCommandLine(const std::string& commandLine, int windowStyle) {
    // The line is UTF-8 as the program holds it; a path in any language reaches the program.
    std::wstring line = QString::fromStdString(commandLine).toStdWString();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    // The window styles are the system's own show commands: 0 hidden up to 3 maximised.
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return false;
    }
    // The member asked for it: its window may come in front of ours.
    ::AllowSetForegroundWindow(started.dwProcessId);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

} // namespace platform

#endif
