#include "deletion/DeleteUser.h"

#include <string>
#include <vector>

#include "deletion/Confirmation.h"
#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberSession.h"

namespace {

// What the member is told when not everything could be deleted: which files are left, where,
// and whether the member can still log in to try again.
std::string leftMessage(const std::string& member, const std::string& folder, const MemberSession::Deletion& deletion) {
    std::string text =
        "User '" + member + "' could not be deleted completely. These files are left in the folder\r" + folder + "\r";
    for (const std::string& name : deletion.left) {
        text += "\t" + name + "\r";
    }
    text += deletion.passwordFileLeft ? "\r'" + member + "' can still log in, so the deletion can be tried again."
                                      : "\r'" + member + "' can no longer log in.";
    if (deletion.error) {
        text += "\r\r" + deletion.error->path() + "\r" + deletion.error->reason();
    }
    return text;
}

} // namespace

void deleteUser(DiaryWindow& form) {
    MemberSession& m = form.session();
    const std::string member = m.currentMember();
    if (!confirmedTwice("Are you sure you want to delete '" + member + "' from this diary?",
                        "Deleted information cannot be restored later. You will have to sign in as a new user. Do "
                        "you still want to proceed?")) {
        return;
    }
    const std::string folder = m.memberFolder();
    std::vector<std::string> others;
    try {
        others = m.otherFiles();
    } catch (const std::exception& e) {
        platform::reportFailure("'" + member + "' cannot be deleted: the member folder cannot be read.", e);
        return;
    }
    // Every file the member put there is shown before it goes, however short its name.
    if (!others.empty()) {
        std::string list;
        for (const std::string& name : others) {
            list += "\t" + name + "\r";
        }
        if (!confirmed("Your user folder contains the following non-program files.\r" + list +
                       "This operation cannot continue until these files are also deleted.\r"
                       "Do you want to delete these files now?")) {
            return;
        }
    }

    form.clearPageView();
    // Only the files the member was shown are deleted, with the program's own.
    const MemberSession::Deletion deletion = m.deleteMember(others);
    form.endSession();
    if (deletion.left.empty()) {
        std::string text = "User '" + member + "' deleted.";
        if (!deletion.folderRemoved && deletion.folderError) {
            // Whatever keeps the folder is not the member's diary, but the name stays taken.
            text += "\r\rThe member folder is left:\r" + deletion.folderError->path() + "\r" +
                    deletion.folderError->reason();
        }
        platform::ui().msgBox(text, platform::vbInformation, platform::kAppTitle);
    } else {
        platform::ui().msgBox(leftMessage(member, folder, deletion), platform::vbExclamation, platform::kAppTitle);
    }
    form.logInAgain();
}
