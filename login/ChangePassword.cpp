#include "login/ChangePassword.h"

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberFileWriter.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

void changePassword(DiaryWindow& main) {
    MemberSession& m = main.session();
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
