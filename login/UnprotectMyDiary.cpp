#include "login/UnprotectMyDiary.h"

#include <optional>

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/BusyPointer.h"
#include "platform/qt/ReportFailure.h"
#include "store/ConversionLeftUnderWay.h"
#include "store/MemberProtection.h"
#include "store/MemberSession.h"

void unprotectMyDiary(DiaryWindow& main) {
    MemberSession& m = main.session();
    if (!m.isProtected()) {
        return;
    }
    if (platform::ui().msgBox("Unprotect your diary?\r\r"
                              "Its pages, captions and password will again be readable by anyone who can read the "
                              "files of Jotterel on this computer.",
                              platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) != platform::vbYes) {
        return;
    }
    try {
        std::optional<platform::BusyPointer> busy(std::in_place, main);
        unprotectMember(m);
    } catch (const ConversionLeftUnderWay& e) {
        platform::reportFailure("Your diary could not be unprotected whole. Jotterel finishes unprotecting it when you "
                                "next log in, with the same password as before.",
                                e);
        return;
    } catch (const std::exception& e) {
        platform::reportFailure("Your diary is still protected: it is as it was.", e);
        return;
    }
    main.showProtectionChoice();
    platform::ui().msgBox("Your diary is no longer protected. You log in with the same password as before.",
                          platform::vbInformation, platform::kAppTitle);
}
