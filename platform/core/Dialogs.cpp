#include "platform/core/Dialogs.h"

#include <stdexcept>

namespace platform {
namespace {

Dialogs*& installed() {
    static Dialogs* dialogs = nullptr;
    return dialogs;
}

} // namespace

std::string Dialogs::maskedInputBox(const std::string&, const std::string&) {
    return {};
}

Dialogs& ui() {
    if (!installed()) {
        throw std::logic_error("no dialogs installed");
    }
    return *installed();
}

void setUi(Dialogs* dialogs) {
    installed() = dialogs;
}

} // namespace platform
