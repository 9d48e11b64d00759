#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

namespace {

using Outcome = MemberSession::LoginOutcome;

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::makeMember(app.path(), "Ann", 110, "Ann pw");
        fixture::makeMember(app.path(), "Bob", 120, "bob");
    }
    std::string file(const std::string& member, const std::string& name) const {
        return fixture::memberFile(app.path(), member, name);
    }

    TempFolder app;
    MemberSession session{app.path()};
};

TEST_F(Session, LoginWithADamagedPasswordFileLetsNobodyIn) {
    const std::string marker = Cipher::encryptWithKey("usngubnrys", 110);
    struct Case {
        const char* what;
        std::optional<std::string> bytes; // nothing: the file is gone
        std::string reason;
    };
    const Case cases[] = {
        {"missing", std::nullopt, platform::errorText(ENOENT)},
        {"empty password line", Cipher::encryptFixed(" 110") + "\r\n\r\n" + marker + "\r\n",
         "The file is damaged: the password line is empty."},
        {"password line below the key", Cipher::encryptFixed(" 110") + "\r\nab\r\n" + marker + "\r\n",
         "The file is damaged: its password line cannot be deciphered under the member key."},
        {"two lines", Cipher::encryptFixed(" 110") + "\r\n" + Cipher::encryptWithKey("pw", 110) + "\r\n",
         "The file is damaged: the password file has fewer than three lines."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = file("Ann", MemberFolder::kPasswordFile);
        if (c.bytes) {
            fixture::writeBytes(path, *c.bytes);
        } else {
            platform::deleteFile(path);
        }
        // An empty password must not open a file whose password line is empty.
        for (const std::string typed : {"", "Ann pw"}) {
            const MemberSession::LoginResult result = session.logIn("Ann", typed);
            EXPECT_EQ(result.outcome, Outcome::PasswordFileUnreadable);
            ASSERT_TRUE(result.error);
            EXPECT_EQ(result.error->path(), path);
            EXPECT_EQ(result.error->reason(), c.reason);
            EXPECT_FALSE(session.loggedIn());
        }
    }
}

TEST_F(Session, AMemberLoggedInElsewhereIsRefusedUntilLoggedOff) {
    MemberSession elsewhere(app.path());
    ASSERT_EQ(elsewhere.logIn("Ann", "ann PW").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.logIn("Ann", "Ann pw").outcome, Outcome::LoggedInElsewhere);
    EXPECT_FALSE(session.loggedIn());
    EXPECT_EQ(session.logIn("Bob", "bob").outcome, Outcome::LoggedIn); // another member is free
    elsewhere.logOff();
    EXPECT_EQ(session.logIn("Ann", "Ann pw").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.currentMember(), "Ann");
    // Bob was let go by the login as Ann.
    EXPECT_EQ(elsewhere.logIn("Bob", "bob").outcome, Outcome::LoggedIn);
}

TEST_F(Session, WrongPasswordChangesNothing) {
    ASSERT_EQ(session.logIn("Bob", "bob").outcome, Outcome::LoggedIn);
    session.setSearchText("apples");
    EXPECT_EQ(session.logIn("Ann", "Ann pw ").outcome, Outcome::WrongPassword);
    EXPECT_EQ(session.currentMember(), "Bob");
    EXPECT_EQ(session.cipherKey(), 120);
    EXPECT_EQ(session.searchText(), "apples");
}

TEST_F(Session, LogOffForgetsEverythingOfTheMember) {
    fixture::writeBytes(file("Ann", MemberFolder::kCaptionsFile), fixture::pageContent(110, {"Ann's secret"}));
    ASSERT_EQ(session.logIn("Ann", "ANN PW").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.caption(1), "Ann's secret");
    EXPECT_EQ(session.enteredPassword(), "ANN PW");
    session.setSearchText("secret");
    session.logOff();
    EXPECT_FALSE(session.loggedIn());
    EXPECT_EQ(session.currentMember(), "");
    EXPECT_EQ(session.cipherKey(), 0);
    EXPECT_EQ(session.searchText(), "");
    EXPECT_EQ(session.caption(1), "");
    // Nothing is left to be saved over the next member's captions.
    session.saveCaptions();
    ASSERT_EQ(session.logIn("Bob", "bob").outcome, Outcome::LoggedIn);
    EXPECT_EQ(session.caption(1), "No caption set");
    EXPECT_EQ(fixture::readBytes(file("Bob", MemberFolder::kCaptionsFile)), "");
    session.saveCaptions();
    EXPECT_EQ(fixture::readBytes(file("Bob", MemberFolder::kCaptionsFile)),
              fixture::pageContent(120, std::vector<std::string>(15, "No caption set")));
    EXPECT_EQ(fixture::readBytes(file("Ann", MemberFolder::kCaptionsFile)),
              fixture::pageContent(110, {"Ann's secret"}));
}

TEST_F(Session, CaptionsThatCannotBeReadAreNeverSavedOver) {
    // Something that is there but cannot be read as a file, as a file without read permission
    // or with a failing disk would be.
    const std::string captions = file("Ann", MemberFolder::kCaptionsFile);
    platform::deleteFile(captions);
    platform::makeFolder(captions);
    ASSERT_EQ(session.logIn("Ann", "Ann pw").outcome, Outcome::LoggedIn);
    ASSERT_TRUE(session.captionsUnreadable());
    EXPECT_EQ(session.captionsUnreadable()->path(), captions);
    EXPECT_EQ(session.caption(4), "No caption set");
    session.setCaption(4, "New");
    try {
        session.saveCaptions();
        ADD_FAILURE() << "saved over captions that could not be read";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.path(), captions);
        EXPECT_EQ(e.reason(), "It could not be read (" + platform::refusalReason(platform::PathKind::Folder) +
                                  "), so Jotterel leaves it as it is rather than write over the captions it holds.");
    }
    EXPECT_TRUE(std::filesystem::is_directory(captions));

    // Once it can be read again, the captions are loaded and saved as usual.
    platform::removeFolder(captions);
    fixture::writeBytes(captions, fixture::pageContent(110, {"One"}));
    session.loadCaptions();
    EXPECT_FALSE(session.captionsUnreadable());
    session.saveCaptions();
    std::vector<std::string> expected(15, "No caption set");
    expected[0] = "One";
    EXPECT_EQ(fixture::readBytes(captions), fixture::pageContent(110, expected));
}

TEST_F(Session, DeletionNamesWhatItCouldNotDelete) {
    ASSERT_EQ(session.logIn("Ann", "Ann pw").outcome, Outcome::LoggedIn);
    fixture::writeBytes(file("Ann", "notes.txt"), "mine");
    ASSERT_EQ(session.otherFiles(), std::vector<std::string>{"notes.txt"});
    // The third disk step fails: the export and page 1 are gone, page 2 is left.
    platform::setFaultAfterSteps(2);
    const MemberSession::Deletion deletion = session.deleteMember({"notes.txt"});
    platform::setFaultAfterSteps(std::nullopt);
    EXPECT_EQ(deletion.left, std::vector<std::string>{MemberFolder::pageFileName(2)});
    ASSERT_TRUE(deletion.error);
    EXPECT_EQ(deletion.error->path(), file("Ann", MemberFolder::pageFileName(2)));
    EXPECT_FALSE(deletion.folderRemoved);
    EXPECT_FALSE(deletion.passwordFileLeft);
    EXPECT_TRUE(fixture::isHidden(file("Ann", MemberFolder::pageFileName(2))));
    EXPECT_FALSE(platform::pathExists(file("Ann", MemberFolder::kPasswordFile)));
    EXPECT_TRUE(platform::pathExists(file("Bob", MemberFolder::kPasswordFile)));
}

} // namespace
