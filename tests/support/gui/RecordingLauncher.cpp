#include "support/gui/RecordingLauncher.h"

#include <stdexcept>

RecordingLauncher::RecordingLauncher() {
    try {
        m_previous = &platform::Programs();
    } catch (const std::exception&) {
        m_previous = nullptr;
    }
    platform::SetPrograms(this);
}

RecordingLauncher::~RecordingLauncher() {
    platform::SetPrograms(m_previous);
}

bool RecordingLauncher::Shell(const std::string& commandLine, int windowStyle) {
    m_started.push_back({commandLine, windowStyle});
    return true;
}
