#include "export/ExportAll.h"

#include <QComboBox>
#include <optional>
#include <string>
#include <vector>

#include "diary/Form1.h"
#include "export/OutputFile.h"
#include "platform/core/Attempt.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Launcher.h"
#include "platform/core/NumberText.h"
#include "platform/qt/TextBox.h"
#include "store/Module1.h"

namespace {

// While the pages are walked through, the window keeps its last picture instead of flashing
// each page, and shows the busy pointer.
class PagesWalk {
public:
    explicit PagesWalk(Form1& form) : m_form(form) {
        m_form.SetBusyPointer(true);
        m_form.setUpdatesEnabled(false);
        m_form.SetPageErrorsQuiet(true); // the pages that could not be read are told at the end
    }
    ~PagesWalk() {
        m_form.SetPageErrorsQuiet(false);
        m_form.setUpdatesEnabled(true);
        m_form.SetBusyPointer(false);
    }
    PagesWalk(const PagesWalk&) = delete;
    PagesWalk& operator=(const PagesWalk&) = delete;

private:
    Form1& m_form;
};

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

void mnuExportAll_Click(Form1& form) {
    const Module1& module = form.module();
    const std::optional<std::string> path =
        ChooseOutputFile(module, "Do you want to export all pages of your diary as a text file?", "All Pages.txt");
    if (!path) {
        return;
    }

    std::string content = "All pages of " + module.CurrentUser() + "'s diary\r\n";
    content += PrintedOnLine(platform::Now()) + "\r\n";
    content += "\r\n";
    std::vector<int> incomplete;
    {
        const PagesWalk walk(form);
        const int shown = form.Combo1->currentIndex();
        // Starting from the last page makes selecting the first one load it even when it is shown.
        platform::Attempt([&] { form.Combo1->setCurrentIndex(form.Combo1->count() - 1); });
        for (int i = 0; i < form.Combo1->count(); ++i) {
            platform::Attempt([&] {
                form.Combo1->setCurrentIndex(i);
                std::string block = "Page " + platform::NumberForFile(i + 1) + "\r\n";
                block += "------------\r\n";
                if (form.PageShownWhole()) {
                    block += form.Text1->Text();
                } else {
                    // A damaged page still gives what can be read of it, and says where it
                    // could not be read.
                    const Module1::ReadablePage page = module.ReadWhatCanBeRead(i + 1);
                    block += page.display;
                    if (!page.whole) {
                        incomplete.push_back(i + 1);
                    }
                }
                block += "\r\n\r\n";
                content += block;
            });
        }
        platform::Attempt([&] { form.Combo1->setCurrentIndex(shown); });
    }
    try {
        platform::WriteFileSafely(*path, platform::TextFileBytes(content), platform::kAttrNormal);
    } catch (const std::exception& e) {
        // Saying the pages were printed when no file was written would send the member looking
        // for a file that is not there.
        Form1::ReportFailure("All pages of your diary could not be exported.", e);
        return;
    }

    const std::string printed = "All pages of " + module.CurrentUser() + "'s diary printed to " + *path;
    if (incomplete.empty()) {
        platform::Ui().MsgBox(printed, platform::vbInformation, platform::kAppTitle);
    } else {
        platform::Ui().MsgBox(printed + "\r\r" + incompletePages(incomplete) +
                                  " could not be read whole: the file says where a line is missing.",
                              platform::vbExclamation, platform::kAppTitle);
    }
    platform::Attempt([&] { platform::Programs().Shell("Notepad " + *path, platform::vbMaximizedFocus); });
}
