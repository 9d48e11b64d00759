#include "deletion/DeleteThisPage.h"

#include <string>

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "store/MemberFileWriter.h"
#include "store/MemberSession.h"

void deleteThisPage(DiaryWindow& form) {
    constexpr int kYesNoCaution = platform::vbYesNo + platform::vbExclamation;
    if (platform::ui().msgBox("Are you sure you want to clear this page from your diary?", kYesNoCaution,
                              platform::kAppTitle) == platform::vbNo) {
        return;
    }
    if (platform::ui().msgBox("Deleted information cannot be restored later. Do you still want to proceed?",
                              kYesNoCaution, platform::kAppTitle) == platform::vbNo) {
        return;
    }
    try {
        rewriteMemberFile(form.session().pageFilePath(form.currentPage()), {});
    } catch (const std::exception& e) {
        DiaryWindow::reportFailure(
            "Page " + std::to_string(form.currentPage()) + " cannot be cleared; its file is left as it was.", e);
        return;
    }
    form.clearPageView();
}
