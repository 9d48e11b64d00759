#include "export/ExportPage.h"

#include <optional>

#include "diary/Form1.h"
#include "export/OutputFile.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Launcher.h"
#include "platform/core/NumberText.h"
#include "platform/qt/TextBox.h"
#include "store/Module1.h"

void mnuExportPage_Click(Form1& form) {
    const Module1& module = form.module();
    const int page = form.CurrentPage();
    const std::string pageWord = "Page " + platform::Str(page);
    const std::optional<std::string> path = ChooseOutputFile(module, "Do you want to export this page as a text file?",
                                                             "Page" + platform::Str(page) + ".txt");
    if (!path) {
        return;
    }

    std::string content = pageWord + " of " + module.CurrentUser() + "'s diary\r\n";
    content += PrintedOnLine(platform::Now()) + "\r\n";
    content += "\r\n";
    content += pageWord + "\r\n";
    content += "------------\r\n";
    // A damaged page still gives what can be read of it, and says where it could not be read.
    const Module1::ReadablePage readable =
        form.PageShownWhole() ? Module1::ReadablePage{form.Text1->Text(), true} : module.ReadWhatCanBeRead(page);
    content += readable.display;
    content += "\r\n";
    try {
        platform::WriteFileSafely(*path, platform::TextFileBytes(content), platform::kAttrNormal);
    } catch (const std::exception& e) {
        Form1::ReportFailure("Page " + std::to_string(page) + " could not be exported.", e);
        return;
    }

    if (readable.whole) {
        platform::Ui().MsgBox(pageWord + " printed to " + *path, platform::vbInformation, platform::kAppTitle);
    } else {
        platform::Ui().MsgBox(pageWord + " printed to " + *path +
                                  "\r\rThe page could not be read whole: the file says where a line is missing.",
                              platform::vbExclamation, platform::kAppTitle);
    }
    // The member has the path; an editor that cannot be started is not worth a second message.
    platform::Programs().Shell("Notepad " + *path, platform::vbMaximizedFocus);
}
