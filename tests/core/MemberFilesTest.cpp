#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/EntryMask.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "store/PasswordFile.h"
#include "support/core/HundredMegabytePage.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

namespace {

constexpr int kKey = 117;

class MemberStore : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::makeMember(app.path(), "Ann", kKey, "Ann");
        ASSERT_EQ(m.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
    }
    std::string page(int p) const { return fixture::pageFile(app.path(), "Ann", p); }

    TempFolder app;
    MemberSession m{app.path()};
};

TEST_F(MemberStore, PageFileNamesAndPaths) {
    // The fifteen names every member folder holds, page by page.
    const char* const names[15] = {"FGZISKL4", "OTBKJI3W", "Q583IZCH", "UT4PC5G7", "WXSTYE7K",
                                   "UBYRTRDY", "JSNGUBN3", "GIKJSNB8", "CYTYRBF3", "UBFUSOSJ",
                                   "RYTIORE3", "FBJNSTJT", "HRKIEGI0", "GRKKIET5", "7RUIYUBE"};
    for (int page = 1; page <= 15; ++page) {
        EXPECT_STREQ(MemberFolder::pageFileName(page), names[page - 1]) << page;
    }
    EXPECT_EQ(m.pageFilePath(3), platform::joinPath(app / "Ann", "Q583IZCH"));
}

TEST_F(MemberStore, ReadPageNumbersNonEmptyLines) {
    struct Case {
        std::vector<std::string> lines;
        std::string display;
    };
    const Case cases[] = {
        {{}, ""},
        {{"x", "", "y"}, "[1] \tx\r\n\r\n[2] \ty\r\n"},
        {{"", ""}, "\r\n\r\n"},
        {{"say \"hi\", then, go"}, "[1] \tsay \"hi\", then, go\r\n"},
    };
    for (const Case& c : cases) {
        fixture::writePage(app.path(), "Ann", 2, kKey, c.lines);
        EXPECT_EQ(PageFile::read(page(2), m.cipherKey(), PageFile::Unreadable::Fail).display, c.display);
    }
}

TEST_F(MemberStore, ReadPageTenthEntryAndLastLineWithoutLineEnd) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i) {
        lines.push_back("e" + std::to_string(i));
        lines.push_back("");
    }
    fixture::writePage(app.path(), "Ann", 1, kKey, lines);
    const std::string display = PageFile::read(page(1), m.cipherKey(), PageFile::Unreadable::Fail).display;
    EXPECT_NE(display.find("\r\n[10] \te10\r\n\r\n"), std::string::npos);
    EXPECT_EQ(display.substr(display.size() - 4), "\r\n\r\n");

    fixture::writeBytes(page(1), Cipher::encryptWithKey("a", kKey) + "\r\n" + Cipher::encryptWithKey("b", kKey));
    EXPECT_EQ(PageFile::read(page(1), m.cipherKey(), PageFile::Unreadable::Fail).display, "[1] \ta\r\n[2] \tb\r\n");
}

TEST_F(MemberStore, ReadPageFailuresReachTheCaller) {
    fixture::writeBytes(page(1), "plain text\r\n");
    EXPECT_THROW(PageFile::read(page(1), m.cipherKey(), PageFile::Unreadable::Fail).display, CipherError);
    EXPECT_THROW(PageFile::read(platform::joinPath(app / "Ann", "missing"), m.cipherKey(), PageFile::Unreadable::Fail),
                 platform::FileError);
}

TEST_F(MemberStore, HundredMegabytePageIsReadAndMaskedWhole) {
    const fixture::HundredMegabytePage big(page(1), kKey);
    const std::size_t entries = big.entries();
    ASSERT_GE(std::filesystem::file_size(page(1)), 100'000'000u);

    const std::string display = PageFile::read(page(1), m.cipherKey(), PageFile::Unreadable::Fail).display;
    EXPECT_TRUE(display.ends_with("[" + std::to_string(entries) +
                                  "] \tWent to the market; bought apples and pears (07Dec26, 09:05PM)\r\n\r\n"));

    // Masking holds every line of the page and writes every one back.
    std::vector<std::string> lines = readDecipheredLines(kKey, page(1));
    ASSERT_EQ(lines.size(), 2 * entries);
    ASSERT_TRUE(maskLine(lines, 2.0 * static_cast<double>(entries) - 1, " (08Dec26, 10:00AM)"));
    const std::string written = encipheredLines(kKey, lines);
    lines.clear();
    platform::forEachLine(written,
                          [&](std::string_view line) { lines.push_back(Cipher::decryptWithKey(line, m.cipherKey())); });
    ASSERT_EQ(lines.size(), 2 * entries);
    EXPECT_TRUE(lines[2 * entries - 2].starts_with("XXXX XX XXX XXXXXXX"));
    EXPECT_EQ(lines[2 * entries - 4], fixture::kHundredMegabyteEntry);

#ifndef _WIN32
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::cout << "A page of " << entries << " entries: at most " << usage.ru_maxrss / 1024 << " MB of memory in use"
              << std::endl;
#endif
}

TEST_F(MemberStore, CaptionsLoadFromEmptyShortDamagedAndMissingFiles) {
    m.loadCaptions();
    for (int i = 1; i <= 15; ++i) {
        EXPECT_EQ(m.caption(i), "No caption set");
    }
    std::vector<std::string> lines(15, "c");
    lines[3] = "";
    fixture::writeBytes(m.captionsPath(), fixture::pageContent(kKey, lines) + "\x01\x02\r\n");
    m.loadCaptions();
    EXPECT_EQ(m.caption(1), "c");
    EXPECT_EQ(m.caption(4), "No caption set");

    fixture::writeBytes(m.captionsPath(), fixture::pageContent(kKey, {"one", "two"}) + "plain\r\n");
    m.loadCaptions();
    EXPECT_EQ(m.caption(2), "two");
    EXPECT_EQ(m.caption(3), "No caption set"); // cannot be deciphered
    EXPECT_EQ(m.caption(15), "No caption set");
    EXPECT_FALSE(m.captionsUnreadable());

    platform::deleteFile(m.captionsPath());
    m.loadCaptions();
    EXPECT_EQ(m.caption(2), "No caption set");
    EXPECT_FALSE(m.captionsUnreadable()); // a missing file holds no captions to lose
}

TEST_F(MemberStore, SaveCaptionsWritesFifteenHiddenLines) {
    m.loadCaptions();
    m.setCaption(4, "Holiday, 2026");
    m.setCaption(5, "");
    m.saveCaptions();
    EXPECT_EQ(m.caption(5), "No caption set");
    std::vector<std::string> expected(15, "No caption set");
    expected[3] = "Holiday, 2026";
    EXPECT_EQ(fixture::readBytes(m.captionsPath()), fixture::pageContent(kKey, expected));
    EXPECT_TRUE(fixture::isHidden(m.captionsPath()));

    platform::deleteFile(m.captionsPath());
    EXPECT_THROW(m.saveCaptions(), platform::FileError);
    EXPECT_FALSE(platform::pathExists(m.captionsPath()));
}

TEST_F(MemberStore, PasswordFile) {
    const std::string content = PasswordFile::content(100, "Gard");
    EXPECT_EQ(Cipher::decryptFixed(content.substr(0, 4)), " 100");
    const std::string path = fixture::memberFile(app.path(), "Ann", MemberFolder::kPasswordFile);
    fixture::writeBytes(path, content);
    const PasswordFile read = PasswordFile::read(path);
    EXPECT_EQ(read.key, 100);
    EXPECT_EQ(Cipher::decryptWithKey(read.passwordLine, 100), "Gard");
    EXPECT_EQ(content, Cipher::encryptFixed(" 100") + "\r\n" + Cipher::encryptWithKey("Gard", 100) + "\r\n" +
                           Cipher::encryptWithKey("usngubnrys", 100) + "\r\n");

    const std::string damaged[] = {"", content.substr(0, 6), "plain\r\nx\r\ny\r\n",
                                   Cipher::encryptFixed(" 99") + "\r\nx\r\ny\r\n"};
    for (const std::string& bytes : damaged) {
        fixture::writeBytes(path, bytes);
        EXPECT_THROW(PasswordFile::read(path), CipherError);
    }
}

} // namespace
