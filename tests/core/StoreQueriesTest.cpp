#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/FoundEntries.h"
#include "store/MemberList.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

// What the windows ask of the store, answered without a window.
namespace {

constexpr int kKey = 117;

std::string stored(const std::string& text) {
    return Cipher::encryptWithKey(text, kKey);
}

// A page with a hand-edited line (plain text, below the key) between two entries, and an empty
// line before the last.
const std::string kDamagedPage = stored("before") + "\r\n" + "plain text\r\n" + "\r\n" + stored("after") + "\r\n";

TEST(PageFileText, OneLoopNumbersEntriesAndTheUnreadableLinePolicyDecidesTheRest) {
    const ReadablePage marked = PageFile::parse(kDamagedPage, kKey, PageFile::Unreadable::Mark);
    EXPECT_EQ(marked.display, "[1] \tbefore\r\n[2] \t(line 2 of the page file cannot be read)\r\n\r\n[3] \tafter\r\n");
    EXPECT_EQ(marked.unreadableLines, std::vector<std::size_t>{2});
    EXPECT_FALSE(marked.whole());

    try {
        PageFile::parse(kDamagedPage, kKey, PageFile::Unreadable::Fail);
        ADD_FAILURE() << "a line below the key was read";
    } catch (const CipherError& e) {
        EXPECT_STREQ(e.what(), "Line 2 of the page file cannot be deciphered under this member's key.");
    }

    // A whole page reads the same under both policies, references and Windows-1252 included.
    const std::string page = stored("caf\xc3\xa9 \xe2\x82\xac") + "\r\n\r\n" + stored("\xe4\xb8\xad &#1; ok") + "\r\n";
    const ReadablePage failing = PageFile::parse(page, kKey, PageFile::Unreadable::Fail);
    const ReadablePage marking = PageFile::parse(page, kKey, PageFile::Unreadable::Mark);
    EXPECT_EQ(failing.display, "[1] \tcaf\xc3\xa9 \xe2\x82\xac\r\n\r\n[2] \t\xe4\xb8\xad &#1; ok\r\n");
    EXPECT_EQ(marking.display, failing.display);
    EXPECT_TRUE(marking.whole());
}

class StoreQueries : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::makeMember(app.path(), "Ann", kKey, "Ann");
        ASSERT_EQ(m.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
    }
    std::string page(int p) const { return fixture::pageFile(app.path(), "Ann", p); }

    TempFolder app;
    MemberSession m{app.path()};
};

TEST_F(StoreQueries, AllPagesGiveWhatCanBeReadOfEachAndSayWhereNot) {
    fixture::writePage(app.path(), "Ann", 1, kKey, {"first", ""});
    fixture::writeBytes(page(4), kDamagedPage);
    platform::deleteFile(page(9));
    const std::vector<ReadablePage> pages = readAllMemberPages(m);
    ASSERT_EQ(pages.size(), 15u);
    for (int p = 1; p <= 15; ++p) {
        SCOPED_TRACE(p);
        const ReadablePage& read = pages[static_cast<std::size_t>(p - 1)];
        EXPECT_EQ(read.whole(), p != 4 && p != 9);
        EXPECT_EQ(read.fileUnreadable, p == 9);
    }
    EXPECT_EQ(pages[0].display, "[1] \tfirst\r\n\r\n");
    EXPECT_EQ(pages[3].display, PageFile::parse(kDamagedPage, kKey, PageFile::Unreadable::Mark).display);
    EXPECT_EQ(pages[8].display, "(the page file cannot be read: " + platform::errorText(ENOENT) + ")\r\n");
    EXPECT_EQ(pages[1].display, "");

    // The page view's reading of a missing page fails and says why.
    EXPECT_THROW(readMemberPage(m, 9, PageFile::Unreadable::Fail), platform::FileError);
}

TEST_F(StoreQueries, FoundEntriesAreValuesWithPageNumberTextAndWhereTheMatchIs) {
    fixture::writePage(app.path(), "Ann", 2, kKey, {"nothing here", "", "To K\xc3\x96LN by train", ""});
    fixture::writeBytes(page(5), "damaged k\xc3\xb6ln\r\n" + stored("\xf0\x9f\x98\x80 k\xc3\xb6ln") + "\r\n");
    fixture::writePage(app.path(), "Ann", 15, kKey, {"köln köln"});
    const FoundEntries found = findEntries(m, "k\xc3\xb6ln");
    ASSERT_EQ(found.size(), 3u);
    struct Expected {
        int page;
        std::size_t entry;
        std::string text;
        std::size_t offset, length;
    };
    const Expected expected[] = {
        {2, 2, "To K\xc3\x96LN by train", 3, 4},
        // The line that cannot be deciphered keeps its number; an emoji counts two, as the page
        // view counts it.
        {5, 2, "\xf0\x9f\x98\x80 k\xc3\xb6ln", 3, 4},
        {15, 1, "köln köln", 0, 4},
    };
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].page, expected[i].page);
        EXPECT_EQ(found[i].entry, expected[i].entry);
        EXPECT_EQ(found[i].text, expected[i].text);
        EXPECT_EQ(found[i].offset, expected[i].offset);
        EXPECT_EQ(found[i].length, expected[i].length);
    }
    // Plain ASCII, letter case ignored the same way.
    fixture::writePage(app.path(), "Ann", 3, kKey, {"Went to the MarKet; market again"});
    const FoundEntries market = findEntries(m, "mARKET");
    ASSERT_EQ(market.size(), 1u);
    EXPECT_EQ(market[0].page, 3);
    EXPECT_EQ(market[0].offset, 12u);
    EXPECT_EQ(market[0].length, 6u);
}

// Entries found keep their texts in shared pieces of memory: every text stays whole and in its
// place, across the end of a piece, for a text longer than a piece, and when the entries of a
// later search are added to an earlier one's (and to an empty list).
TEST(FoundEntries, KeepEveryTextWhereverItsPieceEnds) {
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back(std::string(static_cast<std::size_t>(1 + i % 97), static_cast<char>('a' + i % 26)));
    }
    texts.push_back(std::string(200000, 'L'));
    texts.push_back("after the long one");
    FoundEntries listed;
    {
        // The lists added go before the texts are looked at, as a search's list goes once the
        // results window has its entries.
        FoundEntries earlier;
        FoundEntries later;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            (i < 2000 ? earlier : later).add(static_cast<int>(1 + i % 15), i + 1, texts[i], i, 3);
        }
        listed.append(std::move(earlier));
        listed.append(std::move(later));
        EXPECT_TRUE(earlier.empty());
        EXPECT_TRUE(later.empty());
    }
    ASSERT_EQ(listed.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(listed[i].page, static_cast<int>(1 + i % 15));
        EXPECT_EQ(listed[i].entry, i + 1);
        EXPECT_EQ(listed[i].text, texts[i]);
        EXPECT_EQ(listed[i].offset, i);
        EXPECT_EQ(listed[i].length, 3u);
    }
}

TEST_F(StoreQueries, MemberFoldersAreTheVisibleSubfoldersMarkedByTheirPasswordFile) {
    std::filesystem::create_directory(app / "NoPasswordYet");
    std::filesystem::create_directory(app / ".hidden");
    fixture::makeMember(app.path(), "Hidden", kKey, "Hidd");
    platform::setAttr(app / "Hidden", platform::kAttrHidden);
    fixture::writeBytes(app / "a file", "");
#ifndef _WIN32
    // A link to a member folder is no member (Windows test folders take no links).
    std::filesystem::create_directory_symlink(app / "Ann", app / "Linked");
#endif
    std::vector<std::pair<std::string, bool>> listed;
    for (const ListedFolder& folder : listMemberFolders(app.path())) {
        listed.emplace_back(folder.name, folder.member);
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, bool>>{{"Ann", true}, {"NoPasswordYet", false}}));

    EXPECT_THROW(listMemberFolders(app / "missing"), platform::FileError);
}

} // namespace
