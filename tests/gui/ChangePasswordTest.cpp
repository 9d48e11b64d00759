#include <QAction>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/LoginWindow.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "store/Cipher.h"
#include "store/PasswordFile.h"
#include "support/gui/DiaryFixture.h"

namespace {

const char* const kPrompt = "Please enter new password for user 'Ann'";
const char* const kSave = "Would you like to save your new password?";

class ChangePassword : public DiaryFixture {
protected:
    std::string passwordFile() const { return fixture::memberFile(app.path(), "Ann", MemberFolder::kPasswordFile); }
    void openAs(int key, const std::string& password) {
        makeMember("Ann", key, password);
        writePage("Ann", 1, key, {"an entry, still readable", ""});
        openDiary("Ann", password);
    }
    // The member folder holds nothing but the member's own files.
    std::size_t filesInMemberFolder() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(app.path() + "/Ann")) {
            ++n;
        }
        return n;
    }
};

TEST_F(ChangePassword, NewPasswordCountsFromTheNextLogin) {
    openAs(118, "old one");
    ui.expectInputBox(kPrompt, "Jotterel", "", " New Pass ");
    ui.expectMsgBox(kSave, 4, "Jotterel", platform::vbYes);
    form->changePasswordAction->trigger();
    // The same key line, the new password and the marker, each shifted by the key 118.
    EXPECT_EQ(fixture::readBytes(passwordFile()), "\xA0\xB1\xB1\xB8\r\n"
                                                  "\x96\xC4\xDB\xED\x96\xC6\xD7\xE9\xE9\x96\r\n"
                                                  "\xEB\xE9\xE4\xDD\xEB\xD8\xE4\xE8\xEF\xE9\r\n");
    EXPECT_TRUE(fixture::isHidden(passwordFile()));
    EXPECT_EQ(module.enteredPassword(), "old one"); // still logged in as before

    ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    nextLogin([](LoginWindow& login) {
        typeLogin(login, "Ann", "old one");
        typeLogin(login, "Ann", "New Pass"); // the blanks are part of the password
        typeLogin(login, "Ann", " nEW pASS ");
    });
    form->logOffAction->trigger();
    EXPECT_EQ(module.enteredPassword(), " nEW pASS ");
    EXPECT_EQ(form->pageView->text(), "[1] \tan entry, still readable\r\n\r\n");
}

TEST_F(ChangePassword, FileStaysAsItWasUnlessConfirmed) {
    struct Case {
        const char* name;
        std::string typed;
        int answer; // to the question, when it is asked
    };
    const Case cases[] = {
        {"cancel or empty", "", 0},
        {"answered No", "new", platform::vbNo},
    };
    openAs(118, "pw");
    const std::string before = fixture::readBytes(passwordFile());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.expectInputBox(kPrompt, "Jotterel", "", c.typed);
        if (c.answer != 0) {
            ui.expectMsgBox(kSave, 4, "Jotterel", c.answer);
        }
        form->changePasswordAction->trigger();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(fixture::readBytes(passwordFile()), before);
    }
}

TEST_F(ChangePassword, AnyCharacterIsStoredAndLogsIn) {
    // пароль, café and "~", which no key of 130 can shift: what is typed is what logs in, in any
    // letter case, and nothing else of the same length does.
    const std::string password = "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C caf\xC3\xA9~";
    const std::string otherCase = "\xD0\x9F\xD0\x90\xD0\xA0\xD0\x9E\xD0\x9B\xD0\xAC CAF\xC3\x89~";
    const std::string others = "\xD0\xB1\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C caf\xC3\xA8~";
    openAs(130, "pw");
    ui.expectInputBox(kPrompt, "Jotterel", "", password);
    ui.expectMsgBox(kSave, 4, "Jotterel", platform::vbYes);
    form->changePasswordAction->trigger();
    EXPECT_TRUE(ui.done());
    const PasswordFile file = PasswordFile::read(passwordFile());
    EXPECT_EQ(file.key, 130);
    EXPECT_EQ(Cipher::decryptWithKey(file.passwordLine, 130), password);
    for (char c : file.passwordLine) {
        EXPECT_GE(static_cast<unsigned char>(c), 130);
    }

    form.reset();
    module.logOff();
    LoginWindow& login = openLoginWindow();
    ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    typeLogin(login, "Ann", others);
    EXPECT_FALSE(module.loggedIn());
    typeLogin(login, "Ann", otherCase);
    EXPECT_TRUE(module.loggedIn());
    EXPECT_TRUE(ui.done());
}

TEST_F(ChangePassword, FailedWriteKeepsTheOldFileAndSaysSo) {
    openAs(104, "pw");
    const std::string before = fixture::readBytes(passwordFile());
    const std::size_t files = filesInMemberFolder();
    // Fails before anything is written, in the key line, at its end, in the password line and
    // in the marker line.
    for (const std::uint64_t budget : {0u, 2u, 6u, 9u, 20u}) {
        SCOPED_TRACE(budget);
        ui.expectInputBox(kPrompt, "Jotterel", "", "changed");
        ui.expectMsgBox(kSave, 4, "Jotterel", platform::vbYes);
        ui.expectMsgBox("Your password has not been changed: the password file cannot be written.\r\r" +
                            passwordFile() + "\r" + platform::errorText(platform::native::fullDiskError()),
                        48, "Jotterel");
        platform::setWriteBudget(budget);
        form->changePasswordAction->trigger();
        platform::setWriteBudget(std::nullopt);
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(fixture::readBytes(passwordFile()), before);
        EXPECT_TRUE(fixture::isHidden(passwordFile()));
        EXPECT_EQ(PasswordFile::read(passwordFile()).key, 104);
        EXPECT_EQ(filesInMemberFolder(), files);
    }
}

} // namespace
