#include <cerrno>
#include <gtest/gtest.h>
#include <optional>

#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/Module1.h"
#include "store/PasswordFile.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

namespace {

using Outcome = Module1::LoginOutcome;

class MemberSession : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::MakeMember(app.path(), "Ann", 110, "Ann pw");
        fixture::MakeMember(app.path(), "Bob", 120, "bob");
    }
    std::string file(const std::string& member, const std::string& name) const {
        return fixture::MemberFile(app.path(), member, name);
    }

    TempFolder app;
    Module1 session{app.path()};
};

TEST_F(MemberSession, LoginWithADamagedPasswordFileLetsNobodyIn) {
    const std::string marker = Module1::EncryptWithKey("usngubnrys", 110);
    struct Case {
        const char* what;
        std::optional<std::string> bytes; // nothing: the file is gone
        std::string reason;
    };
    const Case cases[] = {
        {"missing", std::nullopt, platform::ErrorText(ENOENT)},
        {"empty password line", Module1::EncryptFixed(" 110") + "\r\n\r\n" + marker + "\r\n",
         "The file is damaged: the password line is empty."},
        {"password line below the key", Module1::EncryptFixed(" 110") + "\r\nab\r\n" + marker + "\r\n",
         "The file is damaged: its password line cannot be deciphered under the member key."},
        {"two lines", Module1::EncryptFixed(" 110") + "\r\n" + Module1::EncryptWithKey("pw", 110) + "\r\n",
         "The file is damaged: the password file has fewer than three lines."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = file("Ann", Module1::kPasswordFile);
        if (c.bytes) {
            fixture::WriteBytes(path, *c.bytes);
        } else {
            platform::DeleteFile(path);
        }
        // An empty password must not open a file whose password line is empty.
        for (const std::string typed : {"", "Ann pw"}) {
            const Module1::LoginResult result = session.LogIn("Ann", typed);
            EXPECT_EQ(result.outcome, Outcome::PasswordFileUnreadable);
            ASSERT_TRUE(result.error);
            EXPECT_EQ(result.error->path(), path);
            EXPECT_EQ(result.error->reason(), c.reason);
            EXPECT_FALSE(session.LoggedIn());
        }
    }
}

TEST_F(MemberSession, AMemberLoggedInElsewhereIsRefusedUntilLoggedOff) {
    Module1 elsewhere(app.path());
    ASSERT_EQ(elsewhere.LogIn("Ann", "ann PW").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.LogIn("Ann", "Ann pw").outcome, Outcome::LoggedInElsewhere);
    EXPECT_FALSE(session.LoggedIn());
    EXPECT_EQ(session.LogIn("Bob", "bob").outcome, Outcome::LoggedIn); // another member is free
    elsewhere.LogOff();
    EXPECT_EQ(session.LogIn("Ann", "Ann pw").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.CurrentUser(), "Ann");
    // Bob was let go by the login as Ann.
    EXPECT_EQ(elsewhere.LogIn("Bob", "bob").outcome, Outcome::LoggedIn);
}

TEST_F(MemberSession, WrongPasswordChangesNothing) {
    ASSERT_EQ(session.LogIn("Bob", "bob").outcome, Outcome::LoggedIn);
    session.SetSearchText("apples");
    EXPECT_EQ(session.LogIn("Ann", "Ann pw ").outcome, Outcome::WrongPassword);
    EXPECT_EQ(session.CurrentUser(), "Bob");
    EXPECT_EQ(session.CipherKey(), 120);
    EXPECT_EQ(session.SearchText(), "apples");
}

TEST_F(MemberSession, LogOffForgetsEverythingOfTheMember) {
    fixture::WriteBytes(file("Ann", Module1::kCaptionsFile), fixture::PageContent(110, {"Ann's secret"}));
    ASSERT_EQ(session.LogIn("Ann", "ANN PW").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.Caption(1), "Ann's secret");
    EXPECT_EQ(session.EnteredPassword(), "ANN PW");
    session.SetSearchText("secret");
    session.LogOff();
    EXPECT_FALSE(session.LoggedIn());
    EXPECT_EQ(session.CurrentUser(), "");
    EXPECT_EQ(session.CipherKey(), 0);
    EXPECT_EQ(session.SearchText(), "");
    EXPECT_EQ(session.Caption(1), "");
    // Nothing is left to be saved over the next member's captions.
    session.SaveCaptions();
    ASSERT_EQ(session.LogIn("Bob", "bob").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.Caption(1), "No caption set");
    EXPECT_EQ(fixture::ReadBytes(file("Bob", Module1::kCaptionsFile)), "");
    session.SaveCaptions();
    EXPECT_EQ(fixture::ReadBytes(file("Bob", Module1::kCaptionsFile)),
              fixture::PageContent(120, std::vector<std::string>(15, "No caption set")));
    EXPECT_EQ(fixture::ReadBytes(file("Ann", Module1::kCaptionsFile)), fixture::PageContent(110, {"Ann's secret"}));
}

TEST_F(MemberSession, CaptionsThatCannotBeReadAreNeverSavedOver) {
    // Something that is there but cannot be read as a file, as a file without read permission
    // or with a failing disk would be.
    const std::string captions = file("Ann", Module1::kCaptionsFile);
    platform::DeleteFile(captions);
    platform::MakeFolder(captions);
    ASSERT_EQ(session.LogIn("Ann", "Ann pw").outcome, Outcome::LoggedIn);
    ASSERT_TRUE(session.CaptionsUnreadable());
    EXPECT_EQ(session.CaptionsUnreadable()->path(), captions);
    EXPECT_EQ(session.Caption(4), "No caption set");
    session.SetCaption(4, "New");
    try {
        session.SaveCaptions();
        ADD_FAILURE() << "saved over captions that could not be read";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.path(), captions);
        EXPECT_EQ(e.reason(), "It could not be read (" + platform::ErrorText(EISDIR) +
                                  "), so Jotterel leaves it as it is rather than write over the captions it holds.");
    }
    EXPECT_TRUE(platform::FolderExists(captions));

    // Once it can be read again, the captions are loaded and saved as usual.
    platform::RemoveFolder(captions);
    fixture::WriteBytes(captions, fixture::PageContent(110, {"One"}));
    session.LoadCaptions();
    EXPECT_FALSE(session.CaptionsUnreadable());
    session.SaveCaptions();
    std::vector<std::string> expected(15, "No caption set");
    expected[0] = "One";
    EXPECT_EQ(fixture::ReadBytes(captions), fixture::PageContent(110, expected));
}

TEST_F(MemberSession, DeletionNamesWhatItCouldNotDelete) {
    ASSERT_EQ(session.LogIn("Ann", "Ann pw").outcome, Outcome::LoggedIn);
    fixture::WriteBytes(file("Ann", "notes.txt"), "mine");
    ASSERT_EQ(session.OtherFiles(), std::vector<std::string>{"notes.txt"});
    // The third disk step fails: the export and page 1 are gone, page 2 is left.
    platform::SetFaultAfterSteps(2);
    const Module1::Deletion deletion = session.DeleteMember({"notes.txt"});
    platform::SetFaultAfterSteps(std::nullopt);
    EXPECT_EQ(deletion.left, std::vector<std::string>{Module1::PageFileName(2)});
    ASSERT_TRUE(deletion.error);
    EXPECT_EQ(deletion.error->path(), file("Ann", Module1::PageFileName(2)));
    EXPECT_FALSE(deletion.folderRemoved);
    EXPECT_FALSE(deletion.passwordFileLeft);
    EXPECT_TRUE(fixture::IsHidden(file("Ann", Module1::PageFileName(2))));
    EXPECT_FALSE(platform::PathExists(file("Ann", Module1::kPasswordFile)));
    EXPECT_TRUE(platform::PathExists(file("Bob", Module1::kPasswordFile)));
}

} // namespace
