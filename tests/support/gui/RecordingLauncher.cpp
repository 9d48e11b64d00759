#include "support/gui/RecordingLauncher.h"

#include <stdexcept>

RecordingLauncher::RecordingLauncher() {
    try {
        m_previous = &platform::programs();
    } catch (const std::exception&) {
        m_previous = nullptr;
    }
    platform::setPrograms(this);
}

RecordingLauncher::~RecordingLauncher() {
    platform::setPrograms(m_previous);
}

bool RecordingLauncher::shell(const std::string& commandLine, int windowStyle) {
    m_started.push_back({commandLine, windowStyle});
    return true;
}
