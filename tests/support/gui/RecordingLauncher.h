#pragma once

#include <string>
#include <vector>

#include "platform/core/Launcher.h"

// Records the programs the program would start, instead of starting them. Installs itself for
// its lifetime.
class RecordingLauncher : public platform::Launcher {
public:
    struct Start {
        std::string commandLine;
        int windowStyle;
    };
    RecordingLauncher();
    ~RecordingLauncher() override;

    bool shell(const std::string& commandLine, int windowStyle) override;
    const std::vector<Start>& started() const { return m_started; }

private:
    std::vector<Start> m_started;
    platform::Launcher* m_previous = nullptr;
};
