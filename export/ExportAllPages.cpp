#include "export/ExportAllPages.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "diary/DiaryWindow.h"
#include "export/OutputFile.h"
#include "platform/core/Attempt.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Launcher.h"
#include "platform/core/NumberText.h"
#include "platform/qt/BusyPointer.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

namespace {

// "Page 3" or "Pages 3, 7 and 12".
std::string incompletePages(const std::vector<int>& pages) {
    std::string text = pages.size() == 1 ? "Page " : "Pages ";
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            text += i + 1 == pages.size() ? " and " : ", ";
        }
        text += std::to_string(pages[i]);
    }
    return text;
}

} // namespace

void exportAllPages(DiaryWindow& form) {
    const MemberSession& module = form.session();
    const std::optional<std::string> path =
        chooseOutputFile(module, "Do you want to export all pages of your diary as a text file?", "All Pages.txt");
    if (!path) {
        return;
    }

    std::string content = "All pages of " + module.currentMember() + "'s diary\r\n";
    content += printedOnLine(platform::now()) + "\r\n";
    content += "\r\n";
    std::vector<int> incomplete;
    // The busy pointer shows while the pages are read and the file is written; a message waits
    // until it is gone.
    std::exception_ptr failure;
    {
        const platform::BusyPointer busy(form);
        const std::vector<ReadablePage> pages = readAllMemberPages(module);
        std::size_t size = content.size();
        for (const ReadablePage& page : pages) {
            size += page.display.size() + 32; // the page's heading, rule and blank lines
        }
        content.reserve(size);
        for (int i = 0; i < MemberFolder::kPageCount; ++i) {
            const ReadablePage& page = pages[static_cast<std::size_t>(i)];
            content += "Page " + platform::numberForFile(i + 1) + "\r\n";
            content += "------------\r\n";
            // A damaged page still gives what can be read of it, and says where it could not be
            // read.
            content += page.display;
            content += "\r\n\r\n";
            if (!page.whole()) {
                incomplete.push_back(i + 1);
            }
        }
        try {
            platform::writeFileSafely(*path, platform::textFileBytes(content), platform::kAttrNormal);
        } catch (const std::exception&) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            // Saying the pages were printed when no file was written would send the member
            // looking for a file that is not there.
            platform::reportFailure("All pages of your diary could not be exported.", e);
            return;
        }
    }

    const std::string printed = "All pages of " + module.currentMember() + "'s diary printed to " + *path;
    if (incomplete.empty()) {
        platform::ui().msgBox(printed, platform::vbInformation, platform::kAppTitle);
    } else {
        platform::ui().msgBox(printed + "\r\r" + incompletePages(incomplete) +
                                  " could not be read whole: the file says where a line is missing.",
                              platform::vbExclamation, platform::kAppTitle);
    }
    // The member has the path; an editor that cannot be started is not worth a second message.
    platform::programs().shell("Notepad " + *path, platform::vbMaximizedFocus);
}
