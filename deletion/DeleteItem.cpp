#include "deletion/DeleteItem.h"

#include <string>
#include <vector>

#include "diary/Form1.h"
#include "platform/core/Clock.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/NumberText.h"
#include "platform/qt/TextBox.h"
#include "store/EntryMask.h"
#include "store/MemberFileWriter.h"
#include "store/Module1.h"

namespace {

constexpr const char* kCaution =
    "Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?";
constexpr const char* kPrompt = "Specify the item number to be deleted on the current page";

} // namespace

void mnuDeleteItem_Click(Form1& form) {
    const Module1& m = form.module();
    const std::string page = std::to_string(form.CurrentPage());
    const std::string path = m.PageFilePath(form.CurrentPage());
    if (platform::Ui().MsgBox(kCaution, platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) !=
        platform::vbNo) {
        const std::string typed = platform::Ui().InputBox(kPrompt, platform::kAppTitle, "");
        if (typed.empty()) {
            return;
        }
        std::vector<std::string> lines;
        try {
            lines = ReadDecipheredLines(m.CipherKey(), path);
        } catch (const std::exception& e) {
            Form1::ReportFailure("No item was deleted: page " + page + " cannot be read.", e);
            return;
        }
        // An empty page has nothing to mask; it is left as it is.
        if (!lines.empty()) {
            // Entry k is line 2k - 1; a typed number that addresses no line changes nothing.
            MaskLine(lines, 2 * platform::Val(typed) - 1, platform::EntryStamp(platform::Now()));
            try {
                RewriteMemberFile(path, EncipheredLines(m.CipherKey(), lines));
            } catch (const std::exception& e) {
                Form1::ReportFailure(
                    "No item was deleted: page " + page + " cannot be written. It keeps its entries as they were.", e);
                return;
            }
        }
    }
    if (form.RefreshPageView()) {
        form.Text1->SelectAll();
    }
}
