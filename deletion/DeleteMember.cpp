#include "deletion/DeleteMember.h"

#include <string>
#include <vector>

#include "diary/Form1.h"
#include "platform/core/Attempt.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/TextBox.h"
#include "store/Module1.h"

void mnuDelUser_Click(Form1& form) {
    Module1& m = form.module();
    // Without a member the folder would be the application folder itself.
    if (m.CurrentUser.empty()) {
        return;
    }
    const std::string member = m.CurrentUser;
    constexpr int kYesNoCaution = platform::vbYesNo + platform::vbExclamation;
    if (platform::Ui().MsgBox("Are you sure you want to delete '" + member + "' from this diary?", kYesNoCaution,
                              platform::kAppTitle) == platform::vbNo) {
        return;
    }
    if (platform::Ui().MsgBox("Deleted information cannot be restored later. You will have to sign in as a new "
                              "user. Do you still want to proceed?",
                              kYesNoCaution, platform::kAppTitle) == platform::vbNo) {
        return;
    }
    const std::string folder = m.MemberFolder(member);
    std::vector<platform::FolderEntry> others;
    try {
        others = platform::ListFolder(folder, "*.*", false);
    } catch (const std::exception& e) {
        Form1::ReportFailure("'" + member + "' cannot be deleted: the member folder cannot be read.", e);
        return;
    }
    // Every file the member put there is shown before it goes, however short its name.
    if (!others.empty()) {
        std::string list;
        for (const platform::FolderEntry& entry : others) {
            list += "\t" + entry.name + "\r";
        }
        if (platform::Ui().MsgBox("Your user folder contains the following non-program files.\r" + list +
                                      "This operation cannot continue until these files are also deleted.\r"
                                      "Do you want to delete these files now?",
                                  kYesNoCaution, platform::kAppTitle) == platform::vbNo) {
            return;
        }
    }

    // Only the files the member was shown are deleted.
    for (const platform::FolderEntry& entry : others) {
        platform::Attempt([&] { platform::DeleteFile(platform::JoinPath(folder, entry.name)); });
    }
    form.Text1->SetText({});
    for (const std::string& name : Module1::MemberFileNames()) {
        const std::string path = m.MemberFile(member, name);
        platform::Attempt([&] { platform::SetAttr(path, platform::kAttrNormal); });
        platform::Attempt([&] { platform::DeleteFile(path); });
        // A rewrite cut short by the program being stopped is the program's own file too.
        platform::Attempt([&] { platform::DeleteSafeWriteLeftovers(path); });
    }
    // Anything else still in the folder keeps it: it stays, and what it holds is not lost.
    platform::Attempt([&] { platform::RemoveFolder(folder); });
    form.Text1->SetText({});
    form.Text2->SetText({});
    form.setWindowTitle(QStringLiteral("Jotterel"));
    platform::Ui().MsgBox("User '" + member + "' deleted.", platform::vbInformation, platform::kAppTitle);
    m.CurrentUser.clear();
    m.EnteredPassword.clear();
    m.Lock.Release();
    form.ShowLoginWindow();
}
