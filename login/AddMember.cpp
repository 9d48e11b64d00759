#include "login/Form2.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

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
    try {
        platform::WriteFileSafely(m.MemberFile(name, Module1::kPasswordFile), PasswordFile::Content(key, password),
                                  platform::kAttrHidden);
        for (int i = 1; i <= Module1::kPageCount + 1; ++i) {
            const char* file = i <= Module1::kPageCount ? Module1::PageFileName(i) : Module1::kCaptionsFile;
            const std::string path = m.MemberFile(name, file);
            platform::CreateEmptyFile(path);
            platform::SetAttr(path, platform::kAttrHidden);
        }
    } catch (const std::exception& e) {
        Form1::ReportFailure("Adding the member '" + name +
                                 "' stopped part-way: a file of the member folder cannot be made. The folder keeps "
                                 "the files made so far.",
                             e);
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
