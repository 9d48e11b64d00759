#include "export/OutputFile.h"

#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/MemberSession.h"
#include "store/OutputFileName.h"

std::optional<std::string> chooseOutputFile(const MemberSession& module, const std::string& question,
                                            const std::string& defaultName) {
    if (platform::ui().msgBox(question, platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) ==
        platform::vbNo) {
        return std::nullopt;
    }
    const std::string folder = module.memberFolder();
    for (;;) {
        const std::string name =
            platform::ui().inputBox("Enter a name for the output file", platform::kAppTitle, defaultName);
        if (name.empty()) {
            return std::nullopt;
        }
        if (const std::string reason = unusableOutputName(folder, name); !reason.empty()) {
            platform::ui().msgBox("The output file cannot be named \"" + name + "\".\r" + reason,
                                  platform::vbExclamation, platform::kAppTitle);
            continue;
        }
        const std::string path = platform::joinPath(folder, name);
        if (platform::fileExists(path)) {
            const int answer =
                platform::ui().msgBox("File " + name + " already exists. Do you want to overwrite?",
                                      platform::vbYesNoCancel + platform::vbExclamation, platform::kAppTitle);
            if (answer == platform::vbCancel) {
                return std::nullopt;
            }
            if (answer == platform::vbNo) {
                continue;
            }
        }
        return path;
    }
}

std::string printedOnLine(const platform::LocalTime& t) {
    return "Printed on " + platform::formatDMmmYyyy(t) + "  " + platform::formatHMmAmPm(t);
}
