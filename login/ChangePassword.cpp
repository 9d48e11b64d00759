#include "login/ChangePassword.h"

#include <optional>

#include "diary/DiaryWindow.h"
#include "login/NewDiaryPassword.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/BusyPointer.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberFileWriter.h"
#include "store/MemberProtection.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

namespace {

// A protected diary's password is typed twice and never shown; only the password file is
// written again, the data key sealed under the new password.
void changeDiaryPassword(DiaryWindow& main) {
    MemberSession& m = main.session();
    std::optional<GuardedBuffer> password = askNewDiaryPassword(
        "Please enter new password for user '" + m.currentMember() + "'", "Your password has not been changed.");
    if (!password) {
        return;
    }
    if (platform::ui().msgBox("Would you like to save your new password?", platform::vbYesNo, platform::kAppTitle) !=
        platform::vbYes) {
        return;
    }
    try {
        std::optional<platform::BusyPointer> busy(std::in_place, main);
        changeProtectedPassword(m, password->view());
    } catch (const std::exception& e) {
        platform::reportFailure("Your password has not been changed: the password file cannot be written.", e);
    }
}

} // namespace

void changePassword(DiaryWindow& main) {
    MemberSession& m = main.session();
    if (m.isProtected()) {
        changeDiaryPassword(main);
        return;
    }
    const std::string password = platform::ui().inputBox(
        "Please enter new password for user '" + m.currentMember() + "'", platform::kAppTitle, std::string());
    if (password.empty()) {
        return;
    }
    if (platform::ui().msgBox("Would you like to save your new password?", platform::vbYesNo, platform::kAppTitle) !=
        platform::vbYes) {
        return;
    }
    try {
        rewriteMemberFile(m.passwordPath(), PasswordFile::content(m.cipherKey(), password));
    } catch (const std::exception& e) {
        platform::reportFailure("Your password has not been changed: the password file cannot be written.", e);
    }
}
