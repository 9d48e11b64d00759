#include <QAction>
#include <QComboBox>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/Wiring.h"
#include "login/LoginWindow.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "store/MemberLock.h"
#include "support/core/SystemErrors.h"
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
        makeMember("Ann", 101, "pw");
        makeMember("Bob", 102, "bob");
        writePage("Ann", 1, 101, {"my entry", ""});
        writePage("Bob", 1, 102, {"Bob's entry", ""});
        fixture::writeBytes(fixture::memberFile(app.path(), "Bob", MemberFolder::kCaptionsFile),
                            fixture::pageContent(102, {"Bob's caption"}));
        openDiary("Ann", "pw");
        form->entryBox->setText("half typed");
    }

    std::string annFile(const std::string& name) const { return app / "Ann/" + name; }

    void expectBothQuestions() {
        ui.expectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel", platform::vbYes);
        ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    }

    // The completion message, and the login window that follows it: it lists the members then.
    void expectDeletedAndLoginAgain(const std::string& folderLeft = "") {
        ui.expectMsgBox("User 'Ann' deleted." + folderLeft, 64, "Jotterel").whileShown = [&] {
            EXPECT_EQ(form->windowTitle(), "Jotterel");
            EXPECT_EQ(form->pageView->text(), "");
            EXPECT_EQ(form->entryBox->text(), "");
            EXPECT_EQ(form->captionLabel->text(), "");
            EXPECT_FALSE(module.loggedIn());
        };
        nextLogin([&](LoginWindow& login) {
            EXPECT_EQ(module.currentMember(), "");
            EXPECT_EQ(module.enteredPassword(), "");
            EXPECT_FALSE(module.loggedIn());
            membersListed.clear();
            for (int i = 0; i < login.memberSelector->count(); ++i) {
                membersListed.push_back(platform::fromQString(login.memberSelector->itemText(i)));
            }
            typeLogin(login, "Bob", "bob");
        });
    }

    void expectLoggedInAsBob() {
        EXPECT_EQ(membersListed, std::vector<std::string>{"Bob"});
        EXPECT_EQ(loginWindowsOpened, 2);
        EXPECT_EQ(module.currentMember(), "Bob");
        EXPECT_EQ(form->windowTitle(), "Jotterel of 'Bob'");
        // Bob sees his own page 1 and its caption, and every command acts on Bob.
        EXPECT_EQ(form->currentPage(), 1);
        EXPECT_EQ(form->pageView->text(), "[1] \tBob's entry\r\n\r\n");
        EXPECT_EQ(form->captionLabel->text(), "Bob's caption");
        EXPECT_EQ(module.pageFilePath(1), pageFile("Bob", 1));
        EXPECT_TRUE(std::filesystem::is_directory(app / "Bob"));
    }

    std::vector<std::string> membersListed;
};

TEST_F(DeleteMember, FolderOfProgramFilesOnlyGoesWithoutAThirdQuestion) {
    // A rewrite the program was stopped in the middle of left its temporary file behind.
    fixture::writeBytes(annFile(".FGZISKL4.new-Ab12Cd"), "half");
    // So did an export.
    fixture::writeBytes(annFile(".All Pages.txt.new-Zz9yX8"), "All pages of");
    ASSERT_TRUE(platform::pathExists(MemberLock::lockFilePath(app / "Ann")));
    expectBothQuestions();
    expectDeletedAndLoginAgain();
    form->deleteUserAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_FALSE(platform::pathExists(app / "Ann"));
    EXPECT_FALSE(platform::pathExists(MemberLock::lockFilePath(app / "Ann")));
    expectLoggedInAsBob();
}

TEST_F(DeleteMember, OtherFilesAreShownAndDeletedWithTheMember) {
    fixture::writeBytes(annFile("B.txt"), "b");
    fixture::writeBytes(annFile("A.txt"), "a");
    expectBothQuestions();
    ui.expectMsgBox(otherFilesQuestion("\tA.txt\r\tB.txt\r"), 52, "Jotterel", platform::vbYes);
    expectDeletedAndLoginAgain();
    form->deleteUserAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_FALSE(platform::pathExists(app / "Ann"));
    expectLoggedInAsBob();
}

TEST_F(DeleteMember, NoToAnyQuestionKeepsEverything) {
    // A file with a one-character name is asked about like any other.
    fixture::writeBytes(annFile("x"), "keep me");
    for (int no = 1; no <= 3; ++no) {
        ui.expectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel",
                        no == 1 ? platform::vbNo : platform::vbYes);
        if (no >= 2) {
            ui.expectMsgBox(kNoRestore, 52, "Jotterel", no == 2 ? platform::vbNo : platform::vbYes);
        }
        if (no == 3) {
            ui.expectMsgBox(otherFilesQuestion("\tx\r"), 52, "Jotterel", platform::vbNo);
        }
        form->deleteUserAction->trigger();
        EXPECT_TRUE(ui.done()) << no;
        EXPECT_EQ(fixture::readBytes(annFile("x")), "keep me");
        for (int page = 1; page <= 15; ++page) {
            EXPECT_TRUE(platform::pathExists(annFile(MemberFolder::pageFileName(page))));
        }
        EXPECT_TRUE(platform::pathExists(annFile(MemberFolder::kPasswordFile)));
        EXPECT_TRUE(platform::pathExists(annFile(MemberFolder::kCaptionsFile)));
        EXPECT_EQ(module.currentMember(), "Ann");
        EXPECT_EQ(module.enteredPassword(), "pw");
        EXPECT_EQ(form->windowTitle(), "Jotterel of 'Ann'");
        EXPECT_EQ(form->pageView->text(), "[1] \tmy entry\r\n\r\n");
        EXPECT_EQ(form->entryBox->text(), "half typed");
        EXPECT_EQ(loginWindowsOpened, 1);
    }
}

TEST_F(DeleteMember, FolderWithASubfolderStaysButTheMemberIsGone) {
    platform::makeFolder(annFile("photos"));
    fixture::writeBytes(annFile("photos/beach.jpg"), "jpeg");
    // A hidden file that is not the program's: it keeps the folder as well, and is not touched.
    fixture::writeBytes(annFile(".settings"), "mine");
    expectBothQuestions();
    expectDeletedAndLoginAgain("\r\rThe member folder is left:\r" + app / "Ann" + "\r" +
                               platform::errorText(fixture::folderNotEmptyError()));
    form->deleteUserAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(fixture::readBytes(annFile("photos/beach.jpg")), "jpeg");
    EXPECT_EQ(fixture::readBytes(annFile(".settings")), "mine");
    EXPECT_FALSE(platform::pathExists(annFile(MemberFolder::kPasswordFile)));
    EXPECT_FALSE(platform::pathExists(annFile(MemberFolder::kCaptionsFile)));
    EXPECT_FALSE(platform::pathExists(annFile(MemberFolder::pageFileName(1))));
    expectLoggedInAsBob();
}

TEST(DeleteWithoutMember, ApplicationFolderIsNeverTouched) {
    // With nobody logged in there is no member folder: the commands must not fall back on the
    // folder that holds the program and the other members.
    TempFolder app;
    MemberSession module(app.path());
    ScriptedDialogs ui;
    fixture::makeMember(app.path(), "Bob", 102, "bob");
    fixture::writeBytes(app / "notes.txt", "mine");
    fixture::writeBytes(app / "readme", "mine");
    DiaryWindow form(module);
    connectCommands(form);
    form.deleteExportedPagesAction->trigger();
    form.deleteUserAction->trigger();
    EXPECT_TRUE(platform::pathExists(app / "notes.txt"));
    EXPECT_TRUE(platform::pathExists(app / "readme"));
    EXPECT_TRUE(platform::pathExists(app / "Bob"));
    EXPECT_TRUE(ui.shown().empty());
}

} // namespace
