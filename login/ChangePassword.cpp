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
