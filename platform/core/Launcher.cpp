#include "platform/core/Launcher.h"

#include <stdexcept>

namespace platform {
namespace {

Launcher*& installed() {
    static Launcher* launcher = nullptr;
    return launcher;
}

} // namespace

Launcher& programs() {
    if (!installed()) {
        throw std::logic_error("no launcher installed");
    }
    return *installed();
}

void setPrograms(Launcher* launcher) {
    installed() = launcher;
}

} // namespace platform
