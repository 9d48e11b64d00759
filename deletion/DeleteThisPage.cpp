#include "deletion/DeleteThisPage.h"

#include <string>

#include "deletion/Confirmation.h"
#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

void deleteThisPage(DiaryWindow& form) {
    if (!confirmedTwice("Are you sure you want to clear this page from your diary?", kCannotBeRestored)) {
        return;
    }
    try {
        rewriteMemberPage(form.session(), form.currentPage(), {});
    } catch (const std::exception& e) {
        platform::reportFailure(
            "Page " + std::to_string(form.currentPage()) + " cannot be cleared; its file is left as it was.", e);
        return;
    }
    form.clearPageView();
}
