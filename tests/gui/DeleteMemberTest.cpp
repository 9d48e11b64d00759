#include <QAction>
#include <QComboBox>
#include <cerrno>
#include <gtest/gtest.h>

#include "app/Wiring.h"
#include "login/Form2.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "store/MemberLock.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr const char* kNoRestore =
    "Deleted information cannot be restored later. You will have to sign in as a new user. "
    "Do you still want to proceed?";

std::string otherFilesQuestion(const std::string& list) {
    return "Your user folder contains the following non-program files.\r" + list +
           "This operation cannot continue until these files are also deleted.\rDo you want to delete these files "
           "now?";
}

// Ann deletes herself; Bob is another member of the same diary.
class DeleteMember : public DiaryFixture {
protected:
    void SetUp() override {
        MakeMember("Ann", 101, "pw");
        MakeMember("Bob", 102, "bob");
        WritePage("Ann", 1, 101, {"my entry", ""});
        WritePage("Bob", 1, 102, {"Bob's entry", ""});
        fixture::WriteBytes(fixture::MemberFile(app.path(), "Bob", Module1::kCaptionsFile),
                            fixture::PageContent(102, {"Bob's caption"}));
        OpenDiary("Ann", "pw");
        form->Text2->SetText("half typed");
    }

    std::string annFile(const std::string& name) const { return app / "Ann/" + name; }

    void ExpectBothQuestions() {
        ui.ExpectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel", platform::vbYes);
        ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    }

    // The completion message, and the login window that follows it: it lists the members then.
    void ExpectDeletedAndLoginAgain(const std::string& folderLeft = "") {
        ui.ExpectMsgBox("User 'Ann' deleted." + folderLeft, 64, "Jotterel").whileShown = [&] {
            EXPECT_EQ(form->windowTitle(), "Jotterel");
            EXPECT_EQ(form->Text1->Text(), "");
            EXPECT_EQ(form->Text2->Text(), "");
            EXPECT_EQ(form->Label2->text(), "");
            EXPECT_FALSE(module.LoggedIn());
        };
        NextLogin([&](Form2& login) {
            EXPECT_EQ(module.CurrentUser(), "");
            EXPECT_EQ(module.EnteredPassword(), "");
            EXPECT_FALSE(module.LoggedIn());
            membersListed.clear();
            for (int i = 0; i < login.Combo1->count(); ++i) {
                membersListed.push_back(platform::FromQString(login.Combo1->itemText(i)));
            }
            TypeLogin(login, "Bob", "bob");
        });
    }

    void ExpectLoggedInAsBob() {
        EXPECT_EQ(membersListed, std::vector<std::string>{"Bob"});
        EXPECT_EQ(loginWindowsOpened, 2);
        EXPECT_EQ(module.CurrentUser(), "Bob");
        EXPECT_EQ(form->windowTitle(), "Jotterel of 'Bob'");
        // Bob sees his own page 1 and its caption, and every command acts on Bob.
        EXPECT_EQ(form->CurrentPage(), 1);
        EXPECT_EQ(form->Text1->Text(), "[1] \tBob's entry\r\n\r\n");
        EXPECT_EQ(form->Label2->text(), "Bob's caption");
        EXPECT_EQ(module.PageFilePath(1), PageFile("Bob", 1));
        EXPECT_TRUE(platform::FolderExists(app / "Bob"));
    }

    std::vector<std::string> membersListed;
};

TEST_F(DeleteMember, FolderOfProgramFilesOnlyGoesWithoutAThirdQuestion) {
    // A rewrite the program was stopped in the middle of left its temporary file behind.
    fixture::WriteBytes(annFile(".FGZISKL4.new-Ab12Cd"), "half");
    // So did an export.
    fixture::WriteBytes(annFile(".All Pages.txt.new-Zz9yX8"), "All pages of");
    ASSERT_TRUE(platform::PathExists(MemberLock::LockFilePath(app / "Ann")));
    ExpectBothQuestions();
    ExpectDeletedAndLoginAgain();
    form->mnuDelUser->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_FALSE(platform::PathExists(app / "Ann"));
    EXPECT_FALSE(platform::PathExists(MemberLock::LockFilePath(app / "Ann")));
    ExpectLoggedInAsBob();
}

TEST_F(DeleteMember, OtherFilesAreShownAndDeletedWithTheMember) {
    fixture::WriteBytes(annFile("B.txt"), "b");
    fixture::WriteBytes(annFile("A.txt"), "a");
    ExpectBothQuestions();
    ui.ExpectMsgBox(otherFilesQuestion("\tA.txt\r\tB.txt\r"), 52, "Jotterel", platform::vbYes);
    ExpectDeletedAndLoginAgain();
    form->mnuDelUser->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_FALSE(platform::PathExists(app / "Ann"));
    ExpectLoggedInAsBob();
}

TEST_F(DeleteMember, NoToAnyQuestionKeepsEverything) {
    // A file with a one-character name is asked about like any other.
    fixture::WriteBytes(annFile("x"), "keep me");
    for (int no = 1; no <= 3; ++no) {
        ui.ExpectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel",
                        no == 1 ? platform::vbNo : platform::vbYes);
        if (no >= 2) {
            ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", no == 2 ? platform::vbNo : platform::vbYes);
        }
        if (no == 3) {
            ui.ExpectMsgBox(otherFilesQuestion("\tx\r"), 52, "Jotterel", platform::vbNo);
        }
        form->mnuDelUser->trigger();
        EXPECT_TRUE(ui.Done()) << no;
        EXPECT_EQ(fixture::ReadBytes(annFile("x")), "keep me");
        for (int page = 1; page <= 15; ++page) {
            EXPECT_TRUE(platform::PathExists(annFile(Module1::PageFileName(page))));
        }
        EXPECT_TRUE(platform::PathExists(annFile(Module1::kPasswordFile)));
        EXPECT_TRUE(platform::PathExists(annFile(Module1::kCaptionsFile)));
        EXPECT_EQ(module.CurrentUser(), "Ann");
        EXPECT_EQ(module.EnteredPassword(), "pw");
        EXPECT_EQ(form->windowTitle(), "Jotterel of 'Ann'");
        EXPECT_EQ(form->Text1->Text(), "[1] \tmy entry\r\n\r\n");
        EXPECT_EQ(form->Text2->Text(), "half typed");
        EXPECT_EQ(loginWindowsOpened, 1);
    }
}

TEST_F(DeleteMember, FolderWithASubfolderStaysButTheMemberIsGone) {
    platform::MakeFolder(annFile("photos"));
    fixture::WriteBytes(annFile("photos/beach.jpg"), "jpeg");
    // A hidden file that is not the program's: it keeps the folder as well, and is not touched.
    fixture::WriteBytes(annFile(".settings"), "mine");
    ExpectBothQuestions();
    ExpectDeletedAndLoginAgain("\r\rThe member folder is left:\r" + app / "Ann" + "\r" +
                               platform::ErrorText(ENOTEMPTY));
    form->mnuDelUser->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(fixture::ReadBytes(annFile("photos/beach.jpg")), "jpeg");
    EXPECT_EQ(fixture::ReadBytes(annFile(".settings")), "mine");
    EXPECT_FALSE(platform::PathExists(annFile(Module1::kPasswordFile)));
    EXPECT_FALSE(platform::PathExists(annFile(Module1::kCaptionsFile)));
    EXPECT_FALSE(platform::PathExists(annFile(Module1::PageFileName(1))));
    ExpectLoggedInAsBob();
}

TEST(DeleteWithoutMember, ApplicationFolderIsNeverTouched) {
    // With nobody logged in there is no member folder: the commands must not fall back on the
    // folder that holds the program and the other members.
    TempFolder app;
    Module1 module(app.path());
    ScriptedDialogs ui;
    fixture::MakeMember(app.path(), "Bob", 102, "bob");
    fixture::WriteBytes(app / "notes.txt", "mine");
    fixture::WriteBytes(app / "readme", "mine");
    Form1 form(module);
    ConnectCommands(form);
    form.mnuDelExports->trigger();
    form.mnuDelUser->trigger();
    EXPECT_TRUE(platform::PathExists(app / "notes.txt"));
    EXPECT_TRUE(platform::PathExists(app / "readme"));
    EXPECT_TRUE(platform::PathExists(app / "Bob"));
    EXPECT_TRUE(ui.Shown().empty());
}

} // namespace
