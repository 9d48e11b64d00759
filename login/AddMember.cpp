#include "login/Form2.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "platform/core/Random.h"
#include "platform/qt/Ansi.h"
#include "store/MemberName.h"
#include "store/Module1.h"
#include "store/NewMember.h"
#include "store/PasswordFile.h"

namespace {

// Deletes the files a failed member creation made, then its folder. True when the folder is gone.
bool removeMadeFolder(const std::string& folder, const std::vector<std::string>& made) {
    for (const std::string& path : made) {
        try {
            platform::DeleteFile(path);
        } catch (const std::exception&) {
            // never made, or already gone
        }
        try {
            platform::DeleteSafeWriteLeftovers(path);
        } catch (const std::exception&) {
        }
    }
    try {
        platform::RemoveFolder(folder);
    } catch (const std::exception&) {
    }
    return !platform::PathExists(folder);
}

} // namespace

void Form2::Command3_Click() {
    Module1& m = m_main.module();
    const std::string name = platform::Ui().InputBox("Enter user name", "Add new user", "");
    if (name.empty()) {
        return;
    }
    // The name becomes a folder name: refuse one that would reach outside the application
    // folder or make a member nobody could list, before anything is created.
    if (const auto problem = MemberNameProblem(name)) {
        platform::Ui().MsgBox("The name '" + name + "' cannot be a member name: " + *problem +
                                  "\r\rNo member was added.",
                              platform::vbExclamation, platform::kAppTitle);
        return;
    }
    m.CurrentUser = name;

    const std::string folder = m.MemberFolder(name);
    try {
        platform::MakeFolder(folder);
    } catch (const platform::FileError& e) {
        if (platform::PathExists(folder)) {
            platform::Ui().MsgBox("The name '" + name +
                                      "' is taken: the application folder already holds a member or a folder of "
                                      "that name.\r\rNo member was added and nothing was changed.",
                                  platform::vbExclamation, platform::kAppTitle);
        } else {
            Form1::ReportFailure("The folder of the new member '" + name + "' cannot be created. No member was added.",
                                 e);
        }
        return;
    }

    const std::string password = InitialPassword(name);
    platform::Randomize();
    const int key = ChooseMemberKey(password, platform::Rnd());
    m.CipherKey = key;
    const std::string told = PasswordAsStored(password, key);
    // What this command has put into the folder, so that a failure can take it away again.
    std::vector<std::string> made;
    try {
        made.push_back(m.MemberFile(name, Module1::kPasswordFile));
        platform::WriteFileSafely(made.back(), PasswordFile::Content(key, password), platform::kAttrHidden);
        for (int i = 1; i <= Module1::kPageCount + 1; ++i) {
            const char* file = i <= Module1::kPageCount ? Module1::PageFileName(i) : Module1::kCaptionsFile;
            made.push_back(m.MemberFile(name, file));
            platform::CreateEmptyFile(made.back());
            platform::SetAttr(made.back(), platform::kAttrHidden);
        }
    } catch (const std::exception& e) {
        // A folder without all its files would be a member who cannot log in or whose pages
        // cannot be read, and its name would stay taken: remove it, so the member can be added
        // again once the cause is mended.
        if (removeMadeFolder(folder, made)) {
            Form1::ReportFailure("The member '" + name +
                                     "' cannot be added: a file of the member folder cannot be made. The folder "
                                     "made for '" +
                                     name + "' has been removed again, so nothing was added.",
                                 e);
        } else {
            Form1::ReportFailure("The member '" + name +
                                     "' cannot be added: a file of the member folder cannot be made, and the folder "
                                     "made for '" +
                                     name + "' cannot be removed again. Delete that folder before adding '" + name +
                                     "' again.",
                                 e);
        }
        return;
    }

    platform::Ui().MsgBox("Username = '" + name + "'\rPassword = '" + told + "'     (" +
                              platform::Str(static_cast<long long>(told.size())) +
                              " chars)\r\rYou are advised to change your password as soon as you login.",
                          platform::vbInformation, platform::kAppTitle);

    // Every visible subfolder is listed, member or not, until the window is opened again.
    Combo1->clear();
    try {
        for (const platform::FolderEntry& entry : platform::ListFolder(m.AppPath, "*.*", true)) {
            if (entry.isFolder && !entry.name.empty()) {
                Text1->setEnabled(true);
                Command1->setEnabled(true);
                Text1->clear();
                Combo1->addItem(platform::ToQString(entry.name));
            }
        }
    } catch (const std::exception& e) {
        Form1::ReportFailure("The list of members cannot be read again.", e);
    }
    // The folder always carries the name as typed here; were it missing, the first name stays.
    if (const int index = Combo1->findText(platform::ToQString(name)); index >= 0) {
        Combo1->setCurrentIndex(index);
    }
    Text1->setFocus();
}
