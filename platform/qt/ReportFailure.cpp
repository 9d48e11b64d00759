#include "platform/qt/ReportFailure.h"

#include "platform/core/Dialogs.h"
#include "platform/core/FileError.h"

#include <new>
#include <stdexcept>

namespace platform {

void reportFailure(const std::string& what, const std::exception& error) {
    std::string text = what;
    if (const auto* fileError = dynamic_cast<const FileError*>(&error)) {
        text += "\r\r" + fileError->path() + "\r" + fileError->reason();
    } else if (dynamic_cast<const std::bad_alloc*>(&error) || dynamic_cast<const std::length_error*>(&error)) {
        // The library's own words for it mean nothing to a member.
        text += "\r\rThere is not enough memory for it.";
    } else {
        text += std::string("\r\r") + error.what();
    }
    ui().msgBox(text, vbExclamation, kAppTitle);
}

} // namespace platform
