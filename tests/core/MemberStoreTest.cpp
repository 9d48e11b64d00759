#include <gtest/gtest.h>
#include <iostream>
#include <sys/resource.h>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "store/CipherError.h"
#include "store/EntryMask.h"
#include "store/Module1.h"
#include "store/PasswordFile.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

namespace {

constexpr int kKey = 117;

class MemberStore : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::MakeMember(app.path(), "Ann", kKey, "Ann");
        ASSERT_EQ(m.LogIn("Ann", "Ann").outcome, Module1::LoginOutcome::LoggedIn);
    }
    std::string page(int p) const { return fixture::PageFile(app.path(), "Ann", p); }

    TempFolder app;
    Module1 m{app.path()};
};

TEST_F(MemberStore, PageFileNamesAndPaths) {
    EXPECT_STREQ(Module1::PageFileName(1), "FGZISKL4");
    EXPECT_STREQ(Module1::PageFileName(12), "FBJNSTJT");
    EXPECT_STREQ(Module1::PageFileName(15), "7RUIYUBE");
    EXPECT_EQ(m.PageFilePath(3), app.path() + "/Ann/Q583IZCH");
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
        fixture::WritePage(app.path(), "Ann", 2, kKey, c.lines);
        EXPECT_EQ(m.ReadPage(page(2)), c.display);
    }
}

TEST_F(MemberStore, ReadPageTenthEntryAndLastLineWithoutLineEnd) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i) {
        lines.push_back("e" + std::to_string(i));
        lines.push_back("");
    }
    fixture::WritePage(app.path(), "Ann", 1, kKey, lines);
    const std::string display = m.ReadPage(page(1));
    EXPECT_NE(display.find("\r\n[10] \te10\r\n\r\n"), std::string::npos);
    EXPECT_EQ(display.substr(display.size() - 4), "\r\n\r\n");

    fixture::WriteBytes(page(1), Module1::EncryptWithKey("a", kKey) + "\r\n" + Module1::EncryptWithKey("b", kKey));
    EXPECT_EQ(m.ReadPage(page(1)), "[1] \ta\r\n[2] \tb\r\n");
}

TEST_F(MemberStore, ReadPageFailuresReachTheCaller) {
    fixture::WriteBytes(page(1), "plain text\r\n");
    EXPECT_THROW(m.ReadPage(page(1)), CipherError);
    EXPECT_THROW(m.ReadPage(app.path() + "/Ann/missing"), platform::FileError);
}

TEST_F(MemberStore, HundredMegabytePageIsReadAndMaskedWhole) {
    const std::string entry =
        Module1::EncryptWithKey("Went to the market; bought apples and pears (07Dec26, 09:05PM)", kKey);
    std::string bytes;
    const std::size_t entries = 100'000'000 / (entry.size() + 4) + 1;
    bytes.reserve(entries * (entry.size() + 4));
    for (std::size_t i = 0; i < entries; ++i) {
        bytes += entry;
        bytes += "\r\n\r\n";
    }
    ASSERT_GE(bytes.size(), 100'000'000u);
    fixture::WriteBytes(page(1), bytes);
    bytes = std::string();

    const std::string display = m.ReadPage(page(1));
    EXPECT_TRUE(display.ends_with("[" + std::to_string(entries) +
                                  "] \tWent to the market; bought apples and pears (07Dec26, 09:05PM)\r\n\r\n"));

    // Masking holds every line of the page and writes every one back.
    std::vector<std::string> lines = ReadDecipheredLines(kKey, page(1));
    ASSERT_EQ(lines.size(), 2 * entries);
    ASSERT_TRUE(MaskLine(lines, 2.0 * static_cast<double>(entries) - 1, " (08Dec26, 10:00AM)"));
    const std::string written = EncipheredLines(kKey, lines);
    lines.clear();
    platform::ForEachLine(written, [&](std::string_view line) { lines.push_back(m.DecryptKeyed(line)); });
    ASSERT_EQ(lines.size(), 2 * entries);
    EXPECT_TRUE(lines[2 * entries - 2].starts_with("XXXX XX XXX XXXXXXX"));
    EXPECT_EQ(lines[2 * entries - 4], Module1::DecryptWithKey(entry, kKey));

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::cout << "A page of " << entries << " entries: at most " << usage.ru_maxrss / 1024 << " MB of memory in use"
              << std::endl;
}

TEST_F(MemberStore, CaptionsLoadFromEmptyShortDamagedAndMissingFiles) {
    m.LoadCaptions();
    for (int i = 1; i <= 15; ++i) {
        EXPECT_EQ(m.Caption(i), "No caption set");
    }
    std::vector<std::string> lines(15, "c");
    lines[3] = "";
    fixture::WriteBytes(m.CaptionsPath(), fixture::PageContent(kKey, lines) + "\x01\x02\r\n");
    m.LoadCaptions();
    EXPECT_EQ(m.Caption(1), "c");
    EXPECT_EQ(m.Caption(4), "No caption set");

    fixture::WriteBytes(m.CaptionsPath(), fixture::PageContent(kKey, {"one", "two"}) + "plain\r\n");
    m.LoadCaptions();
    EXPECT_EQ(m.Caption(2), "two");
    EXPECT_EQ(m.Caption(3), "No caption set"); // cannot be deciphered
    EXPECT_EQ(m.Caption(15), "No caption set");
    EXPECT_FALSE(m.CaptionsUnreadable());

    platform::DeleteFile(m.CaptionsPath());
    m.LoadCaptions();
    EXPECT_EQ(m.Caption(2), "No caption set");
    EXPECT_FALSE(m.CaptionsUnreadable()); // a missing file holds no captions to lose
}

TEST_F(MemberStore, SaveCaptionsWritesFifteenHiddenLines) {
    m.LoadCaptions();
    m.SetCaption(4, "Holiday, 2026");
    m.SetCaption(5, "");
    m.SaveCaptions();
    EXPECT_EQ(m.Caption(5), "No caption set");
    std::vector<std::string> expected(15, "No caption set");
    expected[3] = "Holiday, 2026";
    EXPECT_EQ(fixture::ReadBytes(m.CaptionsPath()), fixture::PageContent(kKey, expected));
    EXPECT_TRUE(fixture::IsHidden(m.CaptionsPath()));

    platform::DeleteFile(m.CaptionsPath());
    EXPECT_THROW(m.SaveCaptions(), platform::FileError);
    EXPECT_FALSE(platform::PathExists(m.CaptionsPath()));
}

TEST_F(MemberStore, PasswordFile) {
    const std::string content = PasswordFile::Content(100, "Gard");
    EXPECT_EQ(Module1::DecryptFixed(content.substr(0, 4)), " 100");
    const std::string path = fixture::MemberFile(app.path(), "Ann", Module1::kPasswordFile);
    fixture::WriteBytes(path, content);
    const PasswordFile read = PasswordFile::Read(path);
    EXPECT_EQ(read.key, 100);
    EXPECT_EQ(Module1::DecryptWithKey(read.passwordLine, 100), "Gard");
    EXPECT_EQ(content, Module1::EncryptFixed(" 100") + "\r\n" + Module1::EncryptWithKey("Gard", 100) + "\r\n" +
                           Module1::EncryptWithKey("usngubnrys", 100) + "\r\n");

    const std::string damaged[] = {"", content.substr(0, 6), "plain\r\nx\r\ny\r\n",
                                   Module1::EncryptFixed(" 99") + "\r\nx\r\ny\r\n"};
    for (const std::string& bytes : damaged) {
        fixture::WriteBytes(path, bytes);
        EXPECT_THROW(PasswordFile::Read(path), CipherError);
    }
}

} // namespace
