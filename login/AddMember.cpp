#include "login/Form2.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "platform/core/Unicode.h"
#include "platform/qt/Ansi.h"
#include "store/MemberName.h"
#include "store/Module1.h"

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

    const Module1::NewMember added = m.AddMember(name);
    switch (added.status) {
    case Module1::NewMember::Added:
        break;
    case Module1::NewMember::Taken:
        platform::Ui().MsgBox("The name '" + name +
                                  "' is taken: the application folder already holds a member or a folder of "
                                  "that name.\r\rNo member was added and nothing was changed.",
                              platform::vbExclamation, platform::kAppTitle);
        return;
    case Module1::NewMember::FolderFailed:
        Form1::ReportFailure("The folder of the new member '" + name + "' cannot be created. No member was added.",
                             *added.error);
        return;
    case Module1::NewMember::FilesFailed:
        Form1::ReportFailure("The member '" + name +
                                 "' cannot be added: a file of the member folder cannot be made. The folder made "
                                 "for '" +
                                 name + "' has been removed again, so nothing was added.",
                             *added.error);
        return;
    case Module1::NewMember::FilesLeft:
        Form1::ReportFailure("The member '" + name +
                                 "' cannot be added: a file of the member folder cannot be made, and the folder "
                                 "made for '" +
                                 name + "' cannot be removed again. Delete that folder before adding '" + name +
                                 "' again.",
                             *added.error);
        return;
    }

    platform::Ui().MsgBox("Username = '" + name + "'\rPassword = '" + added.password + "'     (" +
                              platform::Str(static_cast<long long>(platform::CharacterCount(added.password))) +
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
