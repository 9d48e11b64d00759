#include "deletion/DeleteAllPages.h"

#include <string>

#include "deletion/Confirmation.h"
#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

namespace {

// "page 3" or "pages 1 to 4".
std::string pages(int first, int last) {
    return first == last ? "page " + std::to_string(first)
                         : "pages " + std::to_string(first) + " to " + std::to_string(last);
}

std::string stoppedAt(int page) {
    if (page == 1) {
        return "Page 1 cannot be cleared, so no page has been cleared.";
    }
    const bool onePageLeft = page == MemberFolder::kPageCount;
    return "Clearing stopped at page " + std::to_string(page) + ", which cannot be cleared: " + pages(1, page - 1) +
           (page == 2 ? " is" : " are") + " empty now, " + pages(page, MemberFolder::kPageCount) +
           (onePageLeft ? " keeps its" : " keep their") + " entries.";
}

} // namespace

void deleteAllPages(DiaryWindow& form) {
    if (!confirmedTwice("Are you sure you want to clear ALL pages from your diary?", kCannotBeRestored)) {
        return;
    }
    const MemberSession& m = form.session();
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        try {
            rewriteMemberPage(m, page, {});
        } catch (const std::exception& e) {
            // The view shows what its file holds now: emptied if it came before the failure.
            if (form.currentPage() < page) {
                form.clearPageView();
            }
            platform::reportFailure(stoppedAt(page), e);
            return;
        }
    }
    form.clearPageView();
}
