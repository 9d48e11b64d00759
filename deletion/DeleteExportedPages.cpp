#include "deletion/DeleteExportedPages.h"

#include <string>
#include <vector>

#include "deletion/Confirmation.h"
#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberSession.h"

namespace {

constexpr const char* kExportPattern = "*.txt";

// The exported text files: ordinary files only, letter case of the extension ignored.
bool listExports(const std::string& folder, std::vector<platform::FolderEntry>& exports) {
    try {
        exports = platform::listFolder(folder, kExportPattern, false);
        return true;
    } catch (const std::exception& e) {
        platform::reportFailure("The exported pages cannot be listed.", e);
        return false;
    }
}

} // namespace

void deleteExportedPages(DiaryWindow& form) {
    const std::string folder = form.session().memberFolder();
    std::vector<platform::FolderEntry> exports;
    if (!listExports(folder, exports)) {
        return;
    }
    if (exports.empty()) {
        platform::ui().msgBox("No exported text files are present in your diary.", platform::vbInformation,
                              platform::kAppTitle);
        return;
    }
    if (!confirmed("Are you sure you want to delete the text files exported from this diary?")) {
        return;
    }
    // Listed afresh: the folder may have changed while the question was open.
    if (!listExports(folder, exports)) {
        return;
    }
    for (const platform::FolderEntry& entry : exports) {
        const int answer = platform::ui().msgBox(
            "Delete '" + entry.name + "'?", platform::vbYesNoCancel + platform::vbExclamation, platform::kAppTitle);
        if (answer == platform::vbCancel) {
            return;
        }
        if (answer == platform::vbYes) {
            try {
                platform::deleteFile(platform::joinPath(folder, entry.name));
            } catch (const std::exception& e) {
                // The member is told, and the other files are still offered.
                platform::reportFailure("'" + entry.name + "' cannot be deleted.", e);
            }
        }
    }
}
