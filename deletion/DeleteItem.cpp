#include "deletion/DeleteItem.h"

#include <string>
#include <vector>

#include "diary/Form1.h"
#include "platform/core/Clock.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "platform/qt/TextBox.h"
#include "store/CipherError.h"
#include "store/MemberFileWriter.h"
#include "store/Module1.h"

namespace {

constexpr const char* kCaution =
    "Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?";
constexpr const char* kPrompt = "Specify the item number to be deleted on the current page";

// The page file's lines, deciphered. The table takes as many lines as the page has, so any entry
// of any page can be masked and the page is never written back shortened.
std::vector<std::string> readDecipheredLines(const Module1& m, const std::string& path) {
    const std::string data = platform::ReadFileBytes(path);
    std::vector<std::string> lines;
    platform::ForEachLine(data, [&](std::string_view line) {
        try {
            lines.push_back(m.DecryptKeyed(line));
        } catch (const CipherError&) {
            throw platform::FileError(path, "Line " + std::to_string(lines.size() + 1) +
                                                " cannot be deciphered under this member's key.");
        }
    });
    return lines;
}

// The spaces stay, so the shape of the words can still be seen; everything else, the old stamp
// included, becomes "X". The stamp of the deletion follows.
std::string masked(const std::string& line, const std::string& stamp) {
    std::string out;
    out.reserve(line.size() + stamp.size());
    for (char c : line) {
        out += c == ' ' ? ' ' : 'X';
    }
    return out + stamp;
}

std::string enciphered(const Module1& m, const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            content += m.EncryptKeyed(line);
        }
        content += "\r\n";
    }
    return content;
}

void refreshPageView(Form1& form) {
    const Module1& m = form.module();
    try {
        form.Text1->SetText(m.ReadPage(m.PagePath));
    } catch (const std::exception& e) {
        form.Text1->SetText({});
        Form1::ReportFailure("Page " + std::to_string(form.CurrentPage()) + " cannot be shown.", e);
        return;
    }
    form.Text1->Select(0, form.Text1->Text().size());
}

} // namespace

void mnuDeleteItem_Click(Form1& form) {
    const Module1& m = form.module();
    const std::string page = std::to_string(form.CurrentPage());
    if (platform::Ui().MsgBox(kCaution, platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) !=
        platform::vbNo) {
        const std::string typed = platform::Ui().InputBox(kPrompt, platform::kAppTitle, "");
        if (typed.empty()) {
            return;
        }
        std::vector<std::string> lines;
        try {
            lines = readDecipheredLines(m, m.PagePath);
        } catch (const std::exception& e) {
            Form1::ReportFailure("No item was deleted: page " + page + " cannot be read.", e);
            return;
        }
        // An empty page has nothing to mask; it is left as it is.
        if (!lines.empty()) {
            // Entry k is line 2k - 1; a typed number that addresses no line changes nothing.
            const double target = 2 * platform::Val(typed) - 1;
            const std::string stamp = platform::EntryStamp(platform::Now());
            for (std::size_t i = 1; i <= lines.size(); ++i) {
                if (static_cast<double>(i) == target) {
                    lines[i - 1] = masked(lines[i - 1], stamp);
                }
            }
            try {
                RewriteMemberFile(m.PagePath, enciphered(m, lines));
            } catch (const std::exception& e) {
                Form1::ReportFailure(
                    "No item was deleted: page " + page + " cannot be written. It keeps its entries as they were.", e);
                return;
            }
        }
    }
    refreshPageView(form);
}
