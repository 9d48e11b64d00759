#include "deletion/DeleteExports.h"

#include <string>
#include <vector>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/Module1.h"

namespace {

constexpr const char* kExportPattern = "*.txt";

// The exported text files: ordinary files only, letter case of the extension ignored.
bool listExports(const std::string& folder, std::vector<platform::FolderEntry>& exports) {
    try {
        exports = platform::ListFolder(folder, kExportPattern, false);
        return true;
    } catch (const std::exception& e) {
        Form1::ReportFailure("The exported pages cannot be listed.", e);
        return false;
    }
}

} // namespace

void mnuDelExports_Click(Form1& form) {
    const std::string folder = form.module().MemberFolder();
    std::vector<platform::FolderEntry> exports;
    if (!listExports(folder, exports)) {
        return;
    }
    if (exports.empty()) {
        platform::Ui().MsgBox("No exported text files are present in your diary.", platform::vbInformation,
                              platform::kAppTitle);
        return;
    }
    if (platform::Ui().MsgBox("Are you sure you want to delete the text files exported from this diary?",
                              platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) == platform::vbNo) {
        return;
    }
    // Listed afresh: the folder may have changed while the question was open.
    if (!listExports(folder, exports)) {
        return;
    }
    for (const platform::FolderEntry& entry : exports) {
        const int answer = platform::Ui().MsgBox(
            "Delete '" + entry.name + "'?", platform::vbYesNoCancel + platform::vbExclamation, platform::kAppTitle);
        if (answer == platform::vbCancel) {
            return;
        }
        if (answer == platform::vbYes) {
            try {
                platform::DeleteFile(platform::JoinPath(folder, entry.name));
            } catch (const std::exception& e) {
                // The member is told, and the other files are still offered.
                Form1::ReportFailure("'" + entry.name + "' cannot be deleted.", e);
            }
        }
    }
}
