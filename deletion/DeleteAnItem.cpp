#include "deletion/DeleteAnItem.h"

#include <string>
#include <vector>

#include "diary/DiaryWindow.h"
#include "platform/core/Clock.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/NumberText.h"
#include "platform/qt/ReportFailure.h"
#include "store/EntryMask.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

namespace {

constexpr const char* kCaution =
    "Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?";
constexpr const char* kPrompt = "Specify the item number to be deleted on the current page";

} // namespace

void deleteAnItem(DiaryWindow& form) {
    const MemberSession& m = form.session();
    const std::string page = std::to_string(form.currentPage());
    if (platform::ui().msgBox(kCaution, platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) !=
        platform::vbNo) {
        const std::string typed = platform::ui().inputBox(kPrompt, platform::kAppTitle, "");
        if (typed.empty()) {
            return;
        }
        std::vector<std::string> lines;
        try {
            lines = readPageLines(m, form.currentPage());
        } catch (const std::exception& e) {
            platform::reportFailure("No item was deleted: page " + page + " cannot be read.", e);
            return;
        }
        // An empty page has nothing to mask; it is left as it is.
        if (!lines.empty()) {
            // Entry k is line 2k - 1; a typed number that addresses no line changes nothing.
            maskLine(lines, 2 * platform::val(typed) - 1, platform::entryStamp(platform::now()));
            try {
                rewriteMemberPage(m, form.currentPage(), pageContent(m, form.currentPage(), lines));
            } catch (const std::exception& e) {
                platform::reportFailure(
                    "No item was deleted: page " + page + " cannot be written. It keeps its entries as they were.", e);
                return;
            }
        }
    }
    if (form.refreshPageView()) {
        form.selectWholePage();
    }
}
