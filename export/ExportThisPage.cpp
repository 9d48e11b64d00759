#include "export/ExportThisPage.h"

#include <optional>

#include "diary/DiaryWindow.h"
#include "export/OutputFile.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Launcher.h"
#include "platform/core/NumberText.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

void exportThisPage(DiaryWindow& form) {
    const MemberSession& module = form.session();
    const int page = form.currentPage();
    const std::string pageWord = "Page " + platform::str(page);
    const std::optional<std::string> path = chooseOutputFile(module, "Do you want to export this page as a text file?",
                                                             "Page" + platform::str(page) + ".txt");
    if (!path) {
        return;
    }

    std::string content = pageWord + " of " + module.currentMember() + "'s diary\r\n";
    content += printedOnLine(platform::now()) + "\r\n";
    content += "\r\n";
    content += pageWord + "\r\n";
    content += "------------\r\n";
    // A damaged page still gives what can be read of it, and says where it could not be read.
    const ReadablePage readable = readMemberPage(module, page, PageFile::Unreadable::Mark);
    content += readable.display;
    content += "\r\n";
    try {
        platform::writeFileSafely(*path, platform::textFileBytes(content), platform::kAttrNormal);
    } catch (const std::exception& e) {
        platform::reportFailure("Page " + std::to_string(page) + " could not be exported.", e);
        return;
    }

    if (readable.whole()) {
        platform::ui().msgBox(pageWord + " printed to " + *path, platform::vbInformation, platform::kAppTitle);
    } else {
        platform::ui().msgBox(pageWord + " printed to " + *path +
                                  "\r\rThe page could not be read whole: the file says where a line is missing.",
                              platform::vbExclamation, platform::kAppTitle);
    }
    // The member has the path; an editor that cannot be started is not worth a second message.
    platform::programs().shell("Notepad " + *path, platform::vbMaximizedFocus);
}
