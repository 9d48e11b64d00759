#include "login/ChangePassword.h"

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "store/MemberFileWriter.h"
#include "store/Module1.h"
#include "store/PasswordFile.h"

void mnuPasswd_Click(Form1& main) {
    Module1& m = main.module();
    const std::string password = platform::Ui().InputBox("Please enter new password for user '" + m.CurrentUser() + "'",
                                                         platform::kAppTitle, std::string());
    if (password.empty()) {
        return;
    }
    // A character the member's key cannot shift would be stored as another one, and the member
    // could never type the stored password back.
    for (const char c : password) {
        if (!Module1::FitsKey(std::string_view(&c, 1), m.CipherKey())) {
            platform::Ui().MsgBox("Jotterel cannot store the character \"" + std::string(1, c) +
                                      "\" in your password, so the new password was not saved. Please choose a "
                                      "password without it.",
                                  platform::vbExclamation, platform::kAppTitle);
            return;
        }
    }
    if (platform::Ui().MsgBox("Would you like to save your new password?", platform::vbYesNo, platform::kAppTitle) !=
        platform::vbYes) {
        return;
    }
    try {
        RewriteMemberFile(m.PasswordPath(), PasswordFile::Content(m.CipherKey(), password));
    } catch (const std::exception& e) {
        Form1::ReportFailure("Your password has not been changed: the password file cannot be written.", e);
    }
}
