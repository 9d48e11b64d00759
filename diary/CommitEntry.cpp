#include "diary/DiaryWindow.h"

#include <optional>

#include "platform/core/Clock.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/NumberText.h"
#include "platform/core/TextReplace.h"
#include "platform/qt/BusyPointer.h"
#include "platform/qt/PageView.h"
#include "platform/qt/ReportFailure.h"
#include "platform/qt/TextBox.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

void DiaryWindow::commitEntry() {
    if (!m_module.loggedIn()) {
        return;
    }
    std::optional<platform::BusyPointer> busy(std::in_place, *this);
    entryBox->setText(platform::replaceText(entryBox->text(), ",", ";"));
    entryBox->setText(platform::replaceText(entryBox->text(), "\n", " "));
    if (entryBox->text().empty()) {
        platform::ui().beep();
        return;
    }
    const int page = currentPage();
    if (platform::ui().msgBox("Save the typed text to page" + platform::str(page) + "?",
                              platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) == platform::vbNo) {
        return;
    }
    const std::string stored = entryBox->text() + platform::entryStamp(platform::now());
    try {
        appendMemberEntry(m_module, page, stored);
    } catch (const std::exception& e) {
        busy.reset(); // the member reads the message with the usual pointer
        platform::reportFailure("The entry cannot be saved to page" + platform::str(page) +
                                    ". The page is as it was, and the text stays in the entry box.",
                                e);
        return;
    }
    entryBox->setText({});
    refreshPageView();
    pageView->selectAll();
    entryBox->setFocus();
}
