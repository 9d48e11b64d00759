#include "login/ProtectMyDiary.h"

#include <optional>

#include "diary/DiaryWindow.h"
#include "login/NewDiaryPassword.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/BusyPointer.h"
#include "platform/qt/ReportFailure.h"
#include "store/ConversionLeftUnderWay.h"
#include "store/GuardedBuffer.h"
#include "store/MemberProtection.h"
#include "store/MemberSession.h"

void protectMyDiary(DiaryWindow& main) {
    MemberSession& m = main.session();
    if (m.isProtected()) {
        return;
    }
    if (platform::ui().msgBox(
            "Protect your diary with a password?\r\r"
            "Your pages, captions and password will be enciphered with a new password that you choose now. "
            "Nobody can recover a forgotten password: without it, nobody can open your diary, you included.\r\r"
            "Older copies of Jotterel cannot open a protected diary until it is unprotected. "
            "Pages you export stay plain text.",
            platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) != platform::vbYes) {
        return;
    }
    std::optional<GuardedBuffer> password = askNewDiaryPassword(
        "Choose the password that protects your diary (at least 8 characters):", "Your diary has not been protected.");
    if (!password) {
        return;
    }
    try {
        std::optional<platform::BusyPointer> busy(std::in_place, main);
        protectMember(m, password->view());
    } catch (const ConversionLeftUnderWay& e) {
        main.showProtectionChoice();
        platform::reportFailure("Your diary could not be protected whole. Jotterel finishes protecting it when you "
                                "next log in: from now on you log in with the password you have just chosen.",
                                e);
        return;
    } catch (const std::exception& e) {
        platform::reportFailure("Your diary has not been protected: it is as it was.", e);
        return;
    }
    main.showProtectionChoice();
    platform::ui().msgBox("Your diary is protected. From now on you log in with the password you have just chosen.",
                          platform::vbInformation, platform::kAppTitle);
}
