#include <QAction>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/Form2.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/TextBox.h"
#include "store/PasswordFile.h"
#include "support/gui/DiaryFixture.h"

namespace {

const char* const kPrompt = "Please enter new password for user 'Ann'";
const char* const kSave = "Would you like to save your new password?";

class ChangePassword : public DiaryFixture {
protected:
    std::string passwordFile() const { return fixture::MemberFile(app.path(), "Ann", Module1::kPasswordFile); }
    void openAs(int key, const std::string& password) {
        MakeMember("Ann", key, password);
        WritePage("Ann", 1, key, {"an entry, still readable", ""});
        OpenDiary("Ann", password);
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
    ui.ExpectInputBox(kPrompt, "Jotterel", "", " New Pass ");
    ui.ExpectMsgBox(kSave, 4, "Jotterel", platform::vbYes);
    form->mnuPasswd->trigger();
    EXPECT_EQ(fixture::ReadBytes(passwordFile()), PasswordFile::Content(118, " New Pass "));
    EXPECT_TRUE(fixture::IsHidden(passwordFile()));
    EXPECT_EQ(module.EnteredPassword(), "old one"); // still logged in as before

    ui.ExpectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    NextLogin([](Form2& login) {
        TypeLogin(login, "Ann", "old one");
        TypeLogin(login, "Ann", "New Pass"); // the blanks are part of the password
        TypeLogin(login, "Ann", " nEW pASS ");
    });
    form->mnuLogoff->trigger();
    EXPECT_EQ(module.EnteredPassword(), " nEW pASS ");
    EXPECT_EQ(form->Text1->Text(), "[1] \tan entry, still readable\r\n\r\n");
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
    const std::string before = fixture::ReadBytes(passwordFile());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.ExpectInputBox(kPrompt, "Jotterel", "", c.typed);
        if (c.answer != 0) {
            ui.ExpectMsgBox(kSave, 4, "Jotterel", c.answer);
        }
        form->mnuPasswd->trigger();
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(fixture::ReadBytes(passwordFile()), before);
    }
}

TEST_F(ChangePassword, AnyCharacterIsStoredAndLogsIn) {
    // пароль, café and "~", which no key of 130 can shift: what is typed is what logs in, in any
    // letter case, and nothing else of the same length does.
    const std::string password = "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C caf\xC3\xA9~";
    const std::string otherCase = "\xD0\x9F\xD0\x90\xD0\xA0\xD0\x9E\xD0\x9B\xD0\xAC CAF\xC3\x89~";
    const std::string others = "\xD0\xB1\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C caf\xC3\xA8~";
    openAs(130, "pw");
    ui.ExpectInputBox(kPrompt, "Jotterel", "", password);
    ui.ExpectMsgBox(kSave, 4, "Jotterel", platform::vbYes);
    form->mnuPasswd->trigger();
    EXPECT_TRUE(ui.Done());
    const PasswordFile file = PasswordFile::Read(passwordFile());
    EXPECT_EQ(file.key, 130);
    EXPECT_EQ(Module1::DecryptWithKey(file.passwordLine, 130), password);
    for (char c : file.passwordLine) {
        EXPECT_GE(static_cast<unsigned char>(c), 130);
    }

    form.reset();
    module.LogOff();
    Form2& login = OpenLoginWindow();
    ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    TypeLogin(login, "Ann", others);
    EXPECT_FALSE(module.LoggedIn());
    TypeLogin(login, "Ann", otherCase);
    EXPECT_TRUE(module.LoggedIn());
    EXPECT_TRUE(ui.Done());
}

TEST_F(ChangePassword, FailedWriteKeepsTheOldFileAndSaysSo) {
    openAs(104, "pw");
    const std::string before = fixture::ReadBytes(passwordFile());
    const std::size_t files = filesInMemberFolder();
    // Fails before anything is written, in the key line, at its end, in the password line and
    // in the marker line.
    for (const std::uint64_t budget : {0u, 2u, 6u, 9u, 20u}) {
        SCOPED_TRACE(budget);
        ui.ExpectInputBox(kPrompt, "Jotterel", "", "changed");
        ui.ExpectMsgBox(kSave, 4, "Jotterel", platform::vbYes);
        ui.ExpectMsgBox("Your password has not been changed: the password file cannot be written.\r\r" +
                            passwordFile() + "\r" + platform::ErrorText(ENOSPC),
                        48, "Jotterel");
        platform::SetWriteBudget(budget);
        form->mnuPasswd->trigger();
        platform::SetWriteBudget(std::nullopt);
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(fixture::ReadBytes(passwordFile()), before);
        EXPECT_TRUE(fixture::IsHidden(passwordFile()));
        EXPECT_EQ(PasswordFile::Read(passwordFile()).key, 104);
        EXPECT_EQ(filesInMemberFolder(), files);
    }
}

} // namespace
