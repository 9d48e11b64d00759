#include "deletion/Confirmation.h"

#include "platform/core/Dialogs.h"

bool confirmed(const std::string& question) {
    return platform::ui().msgBox(question, platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) !=
           platform::vbNo;
}

bool confirmedTwice(const std::string& first, const std::string& second) {
    return confirmed(first) && confirmed(second);
}
