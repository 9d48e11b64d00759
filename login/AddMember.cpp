#include "login/LoginWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "platform/core/Unicode.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberList.h"
#include "store/MemberName.h"
#include "store/MemberSession.h"

void LoginWindow::addMember() {
    MemberSession& m = m_main.session();
    const std::string name = platform::ui().inputBox("Enter user name", "Add new user", "");
    if (name.empty()) {
        return;
    }
    // The name becomes a folder name: refuse one that would reach outside the application
    // folder or make a member nobody could list, before anything is created.
    if (const auto problem = memberNameProblem(name)) {
        platform::ui().msgBox("The name '" + name + "' cannot be a member name: " + *problem +
                                  "\r\rNo member was added.",
                              platform::vbExclamation, platform::kAppTitle);
        return;
    }

    const MemberSession::NewMember added = m.addMember(name);
    switch (added.status) {
    case MemberSession::NewMember::Added:
        break;
    case MemberSession::NewMember::Taken:
        platform::ui().msgBox("The name '" + name +
                                  "' is taken: the application folder already holds a member or a folder of "
                                  "that name.\r\rNo member was added and nothing was changed.",
                              platform::vbExclamation, platform::kAppTitle);
        return;
    case MemberSession::NewMember::FolderFailed:
        platform::reportFailure("The folder of the new member '" + name + "' cannot be created. No member was added.",
                                *added.error);
        return;
    case MemberSession::NewMember::FilesFailed:
        platform::reportFailure("The member '" + name +
                                    "' cannot be added: a file of the member folder cannot be made. The folder made "
                                    "for '" +
                                    name + "' has been removed again, so nothing was added.",
                                *added.error);
        return;
    case MemberSession::NewMember::FilesLeft:
        platform::reportFailure("The member '" + name +
                                    "' cannot be added: a file of the member folder cannot be made, and the folder "
                                    "made for '" +
                                    name + "' cannot be removed again. Delete that folder before adding '" + name +
                                    "' again.",
                                *added.error);
        return;
    }

    platform::ui().msgBox("Username = '" + name + "'\rPassword = '" + added.password + "'     (" +
                              platform::str(static_cast<long long>(platform::characterCount(added.password))) +
                              " chars)\r\rYou are advised to change your password as soon as you login.",
                          platform::vbInformation, platform::kAppTitle);

    // Every visible subfolder is listed, member or not, until the window is opened again.
    memberSelector->clear();
    try {
        const std::vector<ListedFolder> folders = listMemberFolders(m.appPath());
        offerFolders(folders);
        for (const ListedFolder& folder : folders) {
            memberSelector->addItem(platform::toQString(folder.name));
        }
    } catch (const std::exception& e) {
        platform::reportFailure("The list of members cannot be read again.", e);
    }
    // The folder always carries the name as typed here; were it missing, the first name stays.
    if (const int index = memberSelector->findText(platform::toQString(name)); index >= 0) {
        memberSelector->setCurrentIndex(index);
    }
    passwordBox->setFocus();
}
