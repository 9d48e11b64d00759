#include "platform/qt/ReportFailure.h"

#include "platform/core/Dialogs.h"
#include "platform/core/FileError.h"

namespace platform {

void reportFailure(const std::string& what, const std::exception& error) {
    std::string text = what;
    if (const auto* fileError = dynamic_cast<const FileError*>(&error)) {
        text += "\r\r" + fileError->path() + "\r" + fileError->reason();
    } else {
        text += std::string("\r\r") + error.what();
    }
    ui().msgBox(text, vbExclamation, kAppTitle);
}

} // namespace platform
