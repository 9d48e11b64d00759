#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/FoundEntries.h"
#include "store/MemberFolder.h"
#include "store/MemberProtection.h"
#include "store/MemberSession.h"
#include "store/StoredLines.h"
#include "store/TextCodec.h"
#include "support/core/MemberFixture.h"
#include "support/core/QuickKdf.h"
#include "support/core/TempFolder.h"

// Find over a protected diary keeps the pages it opened for the session: a page changed behind
// the session is opened again, nothing is kept once the session or the diary's keys change, and
// without room to keep a page Find still finds what it holds.
namespace {

constexpr int kKey = 112;
const std::string kPassword = "Lantern bay 7";

std::vector<std::string> foundTexts(const MemberSession& m, const std::string& text) {
    std::vector<std::string> texts;
    for (const FoundEntry& found : findEntries(m, text)) {
        texts.push_back(std::to_string(found.page) + ": " + std::string(found.text));
    }
    return texts;
}

class ProtectedFind : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::makeMember(app.path(), "Ann", kKey, "ann");
        fixture::writePage(app.path(), "Ann", 1, kKey, {"Anna went to the market", ""});
        fixture::writePage(app.path(), "Ann", 4, kKey, {"Tea with Anna", ""});
        m.setKdfForNewDiaries(quickKdf());
        ASSERT_EQ(m.logIn("Ann", "ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        protectMember(m, kPassword);
        folder = platform::joinPath(app.path(), "Ann");
        fixture::writtenAnHourAgo(folder);
    }

    std::string page(int p) const { return fixture::pageFile(app.path(), "Ann", p); }

    // The bytes of a protected page of the member holding these entries, each followed by an
    // empty line.
    std::string protectedPage(int p, const std::vector<std::string>& entries) const {
        std::vector<StoredLine> lines;
        for (const std::string& entry : entries) {
            lines.push_back(StoredLine{StoredLine::Kind::Text, storableText(entry, kKey)});
            lines.emplace_back();
        }
        return protectedContent(lines, m.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(p)));
    }

    TempFolder app;
    MemberSession m{app.path()};
    std::string folder;
};

TEST_F(ProtectedFind, APageChangedBehindTheSessionIsOpenedAgain) {
    // Each change gives page 1 "Bert" where it had "Anna", each keeping more of the file's
    // identity than the one before.
    using Change = std::function<void(const std::string& path, const std::string& bytes)>;
    const auto modified = [](const std::string& path) { return std::filesystem::last_write_time(path); };
    const struct {
        const char* name;
        Change change;
        bool keptAgain; // the page, opened anew, is kept: its file was written long enough ago
    } changes[] = {
        {"rewritten with one more entry",
         [&](const std::string& path, const std::string&) {
             fixture::writeBytes(path, protectedPage(1, {"Bert went to the market", "Another day"}));
         },
         false},
        {"replaced by another file of the same size and modification time",
         [&](const std::string& path, const std::string& bytes) {
             const auto before = modified(path);
             const std::string other = path + ".other";
             fixture::writeBytes(other, bytes);
             std::filesystem::last_write_time(other, before);
             std::filesystem::rename(other, path);
         },
         true},
        {"written over in place, its size and modification time kept",
         [&](const std::string& path, const std::string& bytes) {
             // Only the time of the change tells: the file system's clock must have moved on
             // since the page was opened.
             std::this_thread::sleep_for(std::chrono::milliseconds(50));
             const auto before = modified(path);
             fixture::writeBytes(path, bytes);
             std::filesystem::last_write_time(path, before);
         },
         true},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        fixture::writeBytes(page(1), protectedPage(1, {"Anna went to the market"}));
        fixture::writtenAnHourAgo(folder);
        ASSERT_EQ(foundTexts(m, "anna"), (std::vector<std::string>{"1: Anna went to the market", "4: Tea with Anna"}));
        ASSERT_EQ(m.openedPages().pagesKept(), 15u);

        const std::string bert = protectedPage(1, {"Bert went to the market"});
        ASSERT_EQ(bert.size(), platform::fileIdentity(page(1))->size);
        c.change(page(1), bert);
        EXPECT_EQ(foundTexts(m, "anna"), std::vector<std::string>{"4: Tea with Anna"});
        EXPECT_EQ(m.openedPages().pagesKept(), c.keptAgain ? 15u : 14u);
        EXPECT_EQ(foundTexts(m, "bert"), std::vector<std::string>{"1: Bert went to the market"});
    }

    // A page that is gone lists nothing and is kept no longer; a link in its place is not followed.
    std::filesystem::remove(page(4));
    EXPECT_EQ(foundTexts(m, "anna"), std::vector<std::string>{});
    EXPECT_EQ(m.openedPages().pagesKept(), 14u);
#ifndef _WIN32
    std::filesystem::create_symlink(page(1), page(4));
    EXPECT_EQ(foundTexts(m, "bert"), std::vector<std::string>{"1: Bert went to the market"});
    EXPECT_EQ(m.openedPages().pagesKept(), 14u);
#endif
}

TEST_F(ProtectedFind, NothingIsKeptOnceTheSessionOrTheKeysChange) {
    fixture::makeMember(app.path(), "Bob", kKey, "bob");
    const struct {
        const char* name;
        std::function<void()> end;
        bool stillProtected;
    } ends[] = {
        {"a new password", [&] { changeProtectedPassword(m, "Another bay 8"); }, true},
        {"unprotect", [&] { unprotectMember(m); }, false},
        {"log off", [&] { m.logOff(); }, false},
        {"another member logs in",
         [&] { ASSERT_EQ(m.logIn("Bob", "bob").outcome, MemberSession::LoginOutcome::LoggedIn); }, false},
        {"Delete user", [&] { m.deleteMember({}); }, true}, // the session goes on until log off
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.name);
        if (!m.isProtected()) {
            if (m.currentMember() != "Ann") {
                m.logOff();
                ASSERT_EQ(m.logIn("Ann", kPassword).outcome, MemberSession::LoginOutcome::LoggedIn);
            }
            if (!m.isProtected()) {
                protectMember(m, kPassword);
                fixture::writtenAnHourAgo(folder);
            }
        }
        ASSERT_EQ(foundTexts(m, "anna").size(), 2u);
        ASSERT_GT(m.openedPages().bytesKept(), 0u);

        e.end();
        EXPECT_EQ(m.openedPages().pagesKept(), 0u);
        EXPECT_EQ(m.openedPages().bytesKept(), 0u);
        EXPECT_EQ(m.isProtected(), e.stillProtected);
        if (m.loggedIn() && m.currentMember() == "Bob") {
            // Bob's pages have the same file names as Ann's: nothing of hers is found in his.
            EXPECT_EQ(foundTexts(m, "anna"), std::vector<std::string>{});
        }
    }
}

TEST_F(ProtectedFind, WithoutRoomToKeepThePagesEachFindOpensThem) {
    m.openedPages().setRoom(0);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(foundTexts(m, "ANNA"), (std::vector<std::string>{"1: Anna went to the market", "4: Tea with Anna"}));
        // Empty pages take no room, and are kept.
        EXPECT_EQ(m.openedPages().pagesKept(), 13u);
        EXPECT_EQ(m.openedPages().bytesKept(), 0u);
    }
}

} // namespace
